#include "ui/qtdialogs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFontComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>

#include <gtest/gtest.h>

#include <functional>

using namespace qmx;

namespace {

constexpr int kWaitMs = 10000;

// Looks at the modal dialog of type D once ready(D&) holds (or the wait is over), then
// closes it, so that the dialog's own modal loop returns.
template <typename D> void whenShown(const std::function<bool(D&)>& ready) {
    auto* poll = new QTimer(qApp);
    QElapsedTimer waited;
    waited.start();
    QObject::connect(poll, &QTimer::timeout, [=] {
        auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isVisible()) {
            return;
        }
        if (ready(*dialog) || waited.elapsed() > kWaitMs) {
            poll->stop();
            poll->deleteLater();
            if (dialog->isVisible()) { // not closed by what the user did
                dialog->reject();
            }
        }
    });
    poll->start(20);
}

// A box is wide enough for its title, and shows its text as written: paths and texts from
// files are never markup.
TEST(QtDialogs, MessageBoxesShowTheirTitleWholeAndTheirTextAsWritten) {
    for (const auto& [title, text] :
         {std::pair{"Access Database File Creation Successful!",
                    "Access File Created Successfully!\r\nPress 'OK' to Continue..."},
          std::pair{"Cannot Start Graphing Program!", "Unknown Error!\r\n\r\nCannot continue...."},
          std::pair{"Comment Not Saved!", "<s>/logs/run.qmx</s>"}}) {
        int width = 0;
        QString shown;
        Qt::TextFormat format = Qt::AutoText;
        whenShown<QMessageBox>([&](QMessageBox& box) {
            width = box.width();
            if (auto* label = box.findChild<QLabel*>("qt_msgbox_label")) {
                shown = label->text();
                format = label->textFormat();
            }
            return true;
        });
        QtDialogs().MsgBox(text, Dialogs::Buttons::Ok, title);
        // The frame's title bar shows the title in bold beside its icon and three buttons.
        QFont bold = QApplication::font();
        bold.setBold(true);
        const QFontMetrics metrics(bold);
        EXPECT_GE(width, metrics.horizontalAdvance(title) + 4 * metrics.height()) << title;
        EXPECT_EQ(shown, text);
        EXPECT_EQ(format, Qt::PlainText);
    }
}

TEST(QtDialogs, FileDialogsShowSizeTypeAndDateInFull) {
    QTemporaryDir dir;
    QFile log(dir.filePath("run1.qmx"));
    log.open(QIODevice::WriteOnly);
    log.write(QByteArray(12345, 'x'));
    log.close();
    Dialogs::OpenFileRequest request;
    request.InitialDir = dir.path();
    request.Filter = "QMX|*.qmx";
    QStringList cut{"the listing (never shown)"};
    whenShown<QFileDialog>([&](QFileDialog& dialog) {
        auto* files = dialog.findChild<QTreeView*>("treeView");
        if (files == nullptr || files->model()->rowCount(files->rootIndex()) == 0) {
            return false;
        }
        cut.clear();
        for (int column = 0; column < files->header()->count(); ++column) {
            if (files->header()->sectionSize(column) <
                static_cast<QAbstractItemView*>(files)->sizeHintForColumn(column)) {
                cut << files->model()->headerData(column, Qt::Horizontal).toString();
            }
        }
        return true;
    });
    EXPECT_FALSE(QtDialogs().OpenFile(request).has_value());
    EXPECT_TRUE(cut.isEmpty()) << qPrintable(cut.join(", ") + " cut short");
}

// The reading display takes only the face: the dialog offers nothing else.
TEST(QtDialogs, TheFontDialogOffersTheFamilyOnly) {
    QStringList offered;
    whenShown<QDialog>([&](QDialog& dialog) {
        for (QWidget* control : dialog.findChildren<QWidget*>()) {
            if (control->parent() == &dialog && control->isVisibleTo(&dialog) &&
                !control->inherits("QDialogButtonBox") && !control->inherits("QLabel")) {
                offered << control->metaObject()->className();
            }
        }
        for (QLabel* label : dialog.findChildren<QLabel*>()) {
            if (label->text().contains("Size") || label->text().contains("style") ||
                label->text().contains("Effects")) {
                offered << label->text();
            }
        }
        if (auto* face = dialog.findChild<QFontComboBox*>()) {
            face->setCurrentFont(QFont("Liberation Serif"));
            dialog.accept();
        }
        return true;
    });
    EXPECT_EQ(QtDialogs().ChooseFont("Liberation Sans"), "Liberation Serif");
    EXPECT_EQ(offered, QStringList{"QFontComboBox"});
}

} // namespace
