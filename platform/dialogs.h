#pragma once

#include <QString>

#include <optional>

namespace qmx {

// Message boxes and the file and font dialogs, so that tests answer them from a script.
class Dialogs {
public:
    enum class Buttons { Ok, RetryCancel };
    enum class Answer { Ok, Retry, Cancel };

    struct OpenFileRequest {
        QString Title;      // empty: the dialog's default title
        QString InitialDir; // a folder, or a file whose folder to start in
        QString FileName;   // name proposed in the dialog
        QString Filter;     // "WAV|*.wav" pairs of description and pattern
        QString DefaultExt;
        bool NewFile = false; // the file to be chosen may not exist yet
    };

    virtual ~Dialogs() = default;
    // A modal box without icon; an empty title is the program's default title.
    virtual Answer MsgBox(const QString& text, Buttons buttons, const QString& title) = 0;
    // The chosen file's full path, or nothing when cancelled.
    virtual std::optional<QString> OpenFile(const OpenFileRequest& request) = 0;
    // The chosen font face, or nothing when cancelled. Only the face counts.
    virtual std::optional<QString> ChooseFont(const QString& currentFace) = 0;
    // A modal box of read-only text the user can select and copy, closed with OK. Where
    // there is no such box, a message box with OK shows the text.
    virtual void ShowText(const QString& text, const QString& title) {
        MsgBox(text, Buttons::Ok, title);
    }
};

} // namespace qmx
