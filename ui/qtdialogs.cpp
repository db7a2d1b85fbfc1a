#include "ui/qtdialogs.h"

#include "ui/fontfacedialog.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHeaderView>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTreeView>
#include <QVBoxLayout>

namespace qmx {

namespace {

// The frame's title bar holds an icon and three buttons beside the title, each about a
// line of text high, with gaps.
constexpr int kTitleBarLines = 6;
constexpr QSize kFileDialogSize(960, 600);

// A message box is as wide as its text, and the frame cuts a longer title short. A
// spacer as wide as the title in bold, the usual title bar font, keeps it whole (as far
// as the screen allows).
void fitTitle(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (grid == nullptr) {
        return;
    }
    QFont bold = QApplication::font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    const int wanted =
        metrics.horizontalAdvance(box.windowTitle()) + kTitleBarLines * metrics.height();
    const int widest = box.screen()->availableGeometry().width() * 9 / 10;
    grid->addItem(new QSpacerItem(std::min(wanted, widest), 0, QSizePolicy::Minimum),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

// The dialog's own size leaves the size, type and date of a file cut short: a larger
// dialog, with each of those columns as wide as what it shows.
void giveRoom(QFileDialog& dialog) {
    dialog.resize(kFileDialogSize.boundedTo(dialog.screen()->availableGeometry().size() * 0.9));
    auto* files = dialog.findChild<QTreeView*>("treeView");
    if (files == nullptr) {
        return;
    }
    QHeaderView* header = files->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
}

} // namespace

Dialogs::Answer QtDialogs::MsgBox(const QString& text, Buttons buttons, const QString& title) {
    QMessageBox box(
        QMessageBox::NoIcon, title.isEmpty() ? QApplication::applicationName() : title, text,
        buttons == Buttons::Ok ? QMessageBox::Ok : QMessageBox::Retry | QMessageBox::Cancel,
        parent_);
    // Messages hold paths and texts from files: shown as written, never as markup.
    box.setTextFormat(Qt::PlainText);
    fitTitle(box);
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
    QFileDialog dialog(parent_, title, start, QtFilter(request.Filter));
    if (request.NewFile) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    } else {
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    giveRoom(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    QString chosen = dialog.selectedFiles().first();
    if (request.NewFile && QFileInfo(chosen).suffix().isEmpty()) {
        chosen += "." + QString(request.DefaultExt).remove('.').remove('|');
    }
    return chosen;
}

void QtDialogs::ShowText(const QString& text, const QString& title) {
    QDialog box(parent_);
    box.setObjectName("TextBox");
    box.setWindowTitle(title);
    auto* shown = new QPlainTextEdit(text, &box);
    shown->setObjectName("txtText");
    shown->setReadOnly(true);
    shown->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    shown->setLineWrapMode(QPlainTextEdit::NoWrap);
    const QFontMetrics metrics(shown->font());
    const QSize textSize = metrics.size(0, text);
    shown->setMinimumSize((textSize + QSize(4, 2) * metrics.height())
                              .boundedTo(box.screen()->availableGeometry().size() * 0.8));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &box);
    QPushButton* copy = buttons->addButton("&Copy", QDialogButtonBox::ActionRole);
    copy->setObjectName("cmdCopy");
    QObject::connect(copy, &QPushButton::clicked, &box,
                     [&text] { QGuiApplication::clipboard()->setText(text); });
    QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    auto* layout = new QVBoxLayout(&box);
    layout->addWidget(shown);
    layout->addWidget(buttons);
    box.exec();
}

std::optional<QString> QtDialogs::ChooseFont(const QString& currentFace) {
    FontFaceDialog dialog(currentFace, parent_);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.Face();
}

} // namespace qmx
