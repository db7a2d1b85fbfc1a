#include "tests/support/mainwindowfixture.h"

#include "platform/programsettings.h"
#include "ui/qtsoundplayer.h"
#include "ui/widgetcolors.h"

#include <QAction>
#include <QAudioDevice>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMediaDevices>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace qmx;

namespace {

class AlarmPanelTest : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        ASSERT_TRUE(load());
        showLine("DC  1.000 V");
    }
    AlarmPanel& panel() { return *w->Panel; }
};

// The panel starts hidden and disabled. An armed crossing plays the sound; reset stops it,
// disarms, and keeps the panel with its threshold and the button red. While the panel is
// hidden, no trigger label shows, though the crossing still latches.
TEST_F(AlarmPanelTest, ResetStopsTheSoundAndAHiddenPanelShowsNoTriggerLabel) {
    EXPECT_FALSE(panel().txtHiAlarm->isVisibleTo(w.get()));
    EXPECT_FALSE(panel().chkHiSet->isEnabled());
    QTest::mouseClick(w->cmdAlarms, Qt::LeftButton);
    QTest::keyClicks(panel().txtHiAlarm, "0.5");
    QTest::mouseClick(panel().chkHiSet, Qt::LeftButton);
    sound.calls.clear();
    showLine("DC  1.000 V");
    EXPECT_EQ(sound.calls, QStringList{"play:" + w->AlarmWavPath});
    EXPECT_EQ(w->cmdAlarms->text(), "RESET!");
    EXPECT_EQ(BackColorOf(w->cmdAlarms), VbColor::kRed);
    EXPECT_EQ(ForeColorOf(panel().lblHiThresh), VbColor::kRed);
    QTest::mouseClick(w->cmdAlarms, Qt::LeftButton); // RESET
    EXPECT_EQ(sound.calls.last(), "stop");
    EXPECT_EQ(w->cmdAlarms->text(), "&Alarms");
    EXPECT_EQ(BackColorOf(w->cmdAlarms), VbColor::kRed);
    EXPECT_FALSE(panel().chkHiSet->isChecked());
    EXPECT_EQ(panel().txtHiAlarm->text(), "0.5");
    EXPECT_EQ(panel().lblHiThresh->text(), "Hi Threshold:");
    tick(2);                                         // still above 0.5: latched
    QTest::mouseClick(w->cmdAlarms, Qt::LeftButton); // hides the panel
    for (int i = 0; i < 4; ++i) {
        tick();
        EXPECT_FALSE(panel().lblHiThresh->isVisibleTo(w.get())) << i;
        EXPECT_FALSE(panel().lblLoThresh->isVisibleTo(w.get())) << i;
    }
    QTest::mouseClick(w->cmdAlarms, Qt::LeftButton);
    EXPECT_TRUE(panel().lblHiThresh->isVisibleTo(w.get()));
}

// Typed, pasted with Ctrl+V or the context menu, or dropped: "abc1e1" becomes 11.
TEST_F(AlarmPanelTest, EveryWayOfEnteringAThresholdPassesTheSameFilterAsTyping) {
    const auto paste = [](QLineEdit* box) {
        std::unique_ptr<QMenu> menu(box->createStandardContextMenu());
        for (QAction* item : menu->actions()) {
            if (item->text().startsWith("&Paste")) {
                item->trigger();
            }
        }
    };
    const auto drop = [](QLineEdit* box, const QString& text) {
        QMimeData mime;
        mime.setText(text);
        QDragEnterEvent enter({5, 5}, Qt::CopyAction, &mime, Qt::LeftButton, {});
        QDragMoveEvent move({5, 5}, Qt::CopyAction, &mime, Qt::LeftButton, {});
        QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, {});
        for (QEvent* step : std::initializer_list<QEvent*>{&enter, &move, &dropped}) {
            QApplication::sendEvent(box, step);
        }
    };
    const std::pair<const char*, std::function<void(QLineEdit*, const QString&)>> ways[] = {
        {"typing", [](QLineEdit* box, const QString& text) { QTest::keyClicks(box, text); }},
        {"Ctrl+V",
         [](QLineEdit* box, const QString& text) {
             QGuiApplication::clipboard()->setText(text);
             // As the keyboard sends it: the text of Ctrl+V is the control character.
             QKeyEvent ctrlV(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier, "\x16");
             QApplication::sendEvent(box, &ctrlV);
         }},
        {"context menu paste",
         [&](QLineEdit* box, const QString& text) {
             QGuiApplication::clipboard()->setText(text);
             paste(box);
         }},
        {"drop", drop}};
    QTest::mouseClick(w->cmdAlarms, Qt::LeftButton);
    for (const auto& [how, enter] : ways) {
        panel().txtHiAlarm->clear();
        enter(panel().txtHiAlarm, "abc1e1");
        EXPECT_EQ(panel().txtHiAlarm->text(), "11") << how;
        showLine("DC 10.000 V");
        EXPECT_EQ(panel().lblHiThresh->text(), "Hi Threshold:") << how << ": 10 is below 11";
    }
}

// The default sound is a WAV file; without an audio output (as on the test machine) the
// real player says so instead of pretending to play. A file it cannot decode is refused,
// and said once.
TEST(AlarmSound, TheRealPlayerPlaysWhereThereIsAnOutputAndRefusesWhatItCannotDecode) {
    const QString wav = ProgramSettings::kDefaultAlarmWav;
    QFile f(wav);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray head = f.read(16);
    EXPECT_TRUE(head.startsWith("RIFF") && head.mid(8, 8) == "WAVEfmt ");
    QtSoundPlayer player;
    EXPECT_EQ(player.PlayLoop(wav), !QMediaDevices::audioOutputs().isEmpty());
    player.Stop();
    EXPECT_FALSE(player.IsPlaying());

    QTemporaryDir dir;
    const QString bad = dir.filePath("bad.wav");
    QFile badFile(bad);
    ASSERT_TRUE(badFile.open(QIODevice::WriteOnly));
    badFile.write(QByteArray("RIFF\x10\0\0\0WAVEjunk", 16));
    badFile.close();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(player.PlayLoop(bad));
    EXPECT_FALSE(player.PlayLoop(bad));
    const QString said = QString::fromStdString(testing::internal::GetCapturedStderr());
    EXPECT_EQ(said.count(bad), 1) << qPrintable(said);
    EXPECT_FALSE(player.IsPlaying());
}

} // namespace
