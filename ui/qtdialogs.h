#pragma once

#include "platform/dialogs.h"

class QWidget;

namespace qmx {

// The dialogs the user sees: Qt message boxes without icon, file and font dialogs.
class QtDialogs final : public Dialogs {
public:
    explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    Answer MsgBox(const QString& text, Buttons buttons, const QString& title) override;
    std::optional<QString> OpenFile(const OpenFileRequest& request) override;
    std::optional<QString> ChooseFont(const QString& currentFace) override;
    // The text in a read-only box in a fixed-width face, with "&Copy" (all of it, to the
    // clipboard) and "OK".
    void ShowText(const QString& text, const QString& title) override;

    // "WAV|*.wav|MDB|*.mdb" as a Qt filter: "WAV (*.wav);;MDB (*.mdb)".
    [[nodiscard]] static QString QtFilter(const QString& pairs);

private:
    QWidget* parent_;
};

} // namespace qmx
