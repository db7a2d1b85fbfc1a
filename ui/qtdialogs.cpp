#include "ui/qtdialogs.h"

#include "ui/fontfacedialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

Dialogs::Answer QtDialogs::MsgBox(const QString& text, Buttons buttons, const QString& title) {
    QMessageBox box(
        QMessageBox::NoIcon, title.isEmpty() ? QApplication::applicationName() : title, text,
        buttons == Buttons::Ok ? QMessageBox::Ok : QMessageBox::Retry | QMessageBox::Cancel,
        parent_);
    // Messages hold paths and texts from files: shown as written, never as markup.
    box.setTextFormat(Qt::PlainText);
    switch (box.exec()) {
    case QMessageBox::Retry:
        return Answer::Retry;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    default:
        return Answer::Ok;
    }
}

QString QtDialogs::QtFilter(const QString& pairs) {
    const QStringList parts = pairs.split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        filters << parts[i] + " (" + parts[i + 1] + ")";
    }
    return filters.join(";;");
}

std::optional<QString> QtDialogs::OpenFile(const OpenFileRequest& request) {
    QString start = request.InitialDir;
    if (QFileInfo(start).isFile() || !QFileInfo(start).exists()) {
        start = QFileInfo(start).absolutePath();
    }
    if (!request.FileName.isEmpty()) {
        start += "/" + QFileInfo(request.FileName).fileName();
    }
    const QString title = request.Title.isEmpty() ? QString("Open") : request.Title;
    QString chosen;
    if (request.NewFile) {
        chosen = QFileDialog::getSaveFileName(parent_, title, start, QtFilter(request.Filter),
                                              nullptr, QFileDialog::DontConfirmOverwrite);
        if (!chosen.isEmpty() && QFileInfo(chosen).suffix().isEmpty()) {
            chosen += "." + QString(request.DefaultExt).remove('.').remove('|');
        }
    } else {
        chosen = QFileDialog::getOpenFileName(parent_, title, start, QtFilter(request.Filter));
    }
    if (chosen.isEmpty()) {
        return std::nullopt;
    }
    return chosen;
}

std::optional<QString> QtDialogs::ChooseFont(const QString& currentFace) {
    FontFaceDialog dialog(currentFace, parent_);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.Face();
}
