#include "ui/qtdialogs.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFontComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// Runs what the user does in the dialog that opens next, then lets the dialog close.
void inNextDialog(std::function<void(QDialog*)> act) {
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        act(dialog);
        if (dialog->isVisible()) {
            dialog->reject();
        }
    });
}

TEST(QtDialogs, AMessageShowsPathsAsWritten) {
    QtDialogs dialogs;
    inNextDialog([](QDialog* box) {
        auto* text = box->findChild<QLabel*>("qt_msgbox_label");
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(text->text(), "<s>/logs/run.qmx</s>");
        EXPECT_EQ(text->textFormat(), Qt::PlainText);
    });
    dialogs.MsgBox("<s>/logs/run.qmx</s>", Dialogs::Buttons::Ok, "Title");
}

// The reading display takes only the face: the dialog offers nothing else.
TEST(QtDialogs, TheFontDialogOffersTheFamilyOnly) {
    QtDialogs dialogs;
    inNextDialog([](QDialog* dialog) {
        QStringList offered;
        for (QWidget* control : dialog->findChildren<QWidget*>()) {
            if (control->isVisibleTo(dialog) && !control->inherits("QDialogButtonBox") &&
                !control->inherits("QAbstractButton") && !control->inherits("QLabel") &&
                control->parent() == dialog) {
                offered << control->metaObject()->className();
            }
        }
        EXPECT_EQ(offered, QStringList{"QFontComboBox"});
        for (QLabel* label : dialog->findChildren<QLabel*>()) {
            EXPECT_FALSE(label->text().contains("Size") || label->text().contains("style") ||
                         label->text().contains("Effects"))
                << qPrintable(label->text());
        }
        auto* face = dialog->findChild<QFontComboBox*>();
        ASSERT_NE(face, nullptr);
        face->setCurrentFont(QFont("Liberation Serif"));
        dialog->accept();
    });
    EXPECT_EQ(dialogs.ChooseFont("Liberation Sans"), "Liberation Serif");
}

} // namespace
