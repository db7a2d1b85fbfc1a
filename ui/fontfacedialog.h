#pragma once

#include <QDialog>

class QFontComboBox;
class QLabel;

namespace qmx {

// Chooses the face of the reading display: the face is all the display takes from a
// font, so the dialog offers nothing else (no size, style or effects). Scalable faces
// only, with a sample in the face chosen.
class FontFaceDialog : public QDialog {
    Q_OBJECT
public:
    FontFaceDialog(const QString& currentFace, QWidget* parent = nullptr);

    [[nodiscard]] QString Face() const;

private:
    void showSample();

    QFontComboBox* face_;
    QLabel* sample_;
};

} // namespace qmx
