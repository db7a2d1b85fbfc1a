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
    QString wav;

    void SetUp() override {
        MainWindowFixture::SetUp();
        ASSERT_TRUE(load());
        wav = w->AlarmWavPath;
        showLine("DC  1.000 V");
    }
    AlarmPanel& panel() { return *w->Panel; }
};

TEST_F(AlarmPanelTest, StartsHiddenBesideTheAlarmButton) {
    EXPECT_FALSE(panel().txtHiAlarm->isVisibleTo(w.get()));
    EXPECT_FALSE(panel().chkLoSet->isEnabled());
    QTest::mouseClick(w->cmdAlarms, Qt::LeftButton);
    EXPECT_TRUE(panel().txtHiAlarm->isVisibleTo(w.get()));
}

TEST_F(AlarmPanelTest, TypedLettersAreRefusedAndACommaEndsTheNumber) {
    QTest::mouseClick(w->cmdAlarms, Qt::LeftButton);
    QTest::keyClicks(panel().txtLowAlarm, "1e,5x");
    EXPECT_EQ(panel().txtLowAlarm->text(), "1,5");
    EXPECT_TRUE(panel().chkLoSet->isEnabled());
    showLine("DC  1.000 V");
    EXPECT_EQ(panel().lblLoThresh->text(), "Lo Trigger!") << "1,5 acts as 1";
}

TEST_F(AlarmPanelTest, AnArmedCrossingOnTheMeterPlaysAndResetStopsIt) {
    QTest::mouseClick(w->cmdAlarms, Qt::LeftButton);
    QTest::keyClicks(panel().txtLowAlarm, "2");
    QTest::mouseClick(panel().chkLoSet, Qt::LeftButton);
    ASSERT_TRUE(panel().chkLoSet->isChecked());
    sound.calls.clear();
    showLine("DC  1.000 V");
    EXPECT_EQ(sound.calls, QStringList{"play:" + wav});
    EXPECT_EQ(w->cmdAlarms->text(), "RESET!");
    EXPECT_EQ(BackColorOf(w->cmdAlarms), VbColor::kRed);
    EXPECT_EQ(ForeColorOf(panel().lblLoThresh), VbColor::kRed);
    QTest::mouseClick(w->cmdAlarms, Qt::LeftButton);
    EXPECT_EQ(sound.calls.last(), "stop");
    EXPECT_EQ(w->cmdAlarms->text(), "&Alarms");
    EXPECT_FALSE(panel().chkLoSet->isChecked());
    EXPECT_EQ(panel().txtLowAlarm->text(), "2");
}

struct Entry {
    const char* how;
    void (*enter)(QLineEdit* box, const QString& text);
    friend void PrintTo(const Entry& e, std::ostream* os) { *os << e.how; }
};

class ThresholdEntry : public AlarmPanelTest, public ::testing::WithParamInterface<Entry> {};

TEST_P(ThresholdEntry, PassesTheSameFilterAsTyping) {
    QTest::mouseClick(w->cmdAlarms, Qt::LeftButton);
    GetParam().enter(panel().txtHiAlarm, "abc1e1");
    EXPECT_EQ(panel().txtHiAlarm->text(), "11");
    showLine("DC 10.000 V");
    EXPECT_EQ(panel().lblHiThresh->text(), "Hi Threshold:") << "10 is below 11";
}

INSTANTIATE_TEST_SUITE_P(
    Ways, ThresholdEntry,
    ::testing::Values(
        Entry{"typing", [](QLineEdit* box, const QString& text) { QTest::keyClicks(box, text); }},
        Entry{"Ctrl+V",
              [](QLineEdit* box, const QString& text) {
                  QGuiApplication::clipboard()->setText(text);
                  // As the keyboard sends it: the text of Ctrl+V is the control character.
                  QKeyEvent paste(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier, "\x16");
                  QApplication::sendEvent(box, &paste);
              }},
        Entry{"context menu paste",
              [](QLineEdit* box, const QString& text) {
                  QGuiApplication::clipboard()->setText(text);
                  std::unique_ptr<QMenu> menu(box->createStandardContextMenu());
                  for (QAction* item : menu->actions()) {
                      if (item->text().startsWith("&Paste")) {
                          item->trigger();
                      }
                  }
              }},
        Entry{"drop", [](QLineEdit* box, const QString& text) {
                  QMimeData mime;
                  mime.setText(text);
                  QDragEnterEvent enter({5, 5}, Qt::CopyAction, &mime, Qt::LeftButton, {});
                  QDragMoveEvent move({5, 5}, Qt::CopyAction, &mime, Qt::LeftButton, {});
                  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, {});
                  for (QEvent* step : std::initializer_list<QEvent*>{&enter, &move, &drop}) {
                      QApplication::sendEvent(box, step);
                  }
              }}));

TEST_F(AlarmPanelTest, AHiddenPanelShowsNoTriggerLabel) {
    QTest::mouseClick(w->cmdAlarms, Qt::LeftButton);
    QTest::keyClicks(panel().txtHiAlarm, "0.5");
    QTest::mouseClick(panel().chkHiSet, Qt::LeftButton);
    showLine("DC  1.000 V");
    QTest::mouseClick(w->cmdAlarms, Qt::LeftButton); // RESET
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

TEST_F(AlarmPanelTest, TriggerLabelBlinksEveryTick) {
    QTest::mouseClick(w->cmdAlarms, Qt::LeftButton);
    QTest::keyClicks(panel().txtHiAlarm, "0.5");
    showLine("DC  1.000 V");
    const bool first = panel().lblHiThresh->isVisibleTo(w.get());
    tick();
    EXPECT_NE(panel().lblHiThresh->isVisibleTo(w.get()), first);
    tick();
    EXPECT_EQ(panel().lblHiThresh->isVisibleTo(w.get()), first);
}

TEST_F(AlarmPanelTest, AlarmSoundMenuChoosesTheFile) {
    dialogs.files.push_back(QString("/sounds/bell.wav"));
    w->mnuAlarm->trigger();
    ASSERT_EQ(dialogs.fileRequests.size(), 1u);
    EXPECT_EQ(dialogs.fileRequests[0].Title, "Open .WAV file for Alarm...");
    EXPECT_EQ(dialogs.fileRequests[0].Filter, "WAV|*.wav");
    EXPECT_EQ(dialogs.fileRequests[0].InitialDir, w->LogFilePath);
    EXPECT_EQ(w->AlarmWavPath, "/sounds/bell.wav");
    w->mnuAlarm->trigger(); // cancelled
    EXPECT_EQ(w->AlarmWavPath, "/sounds/bell.wav");
    EXPECT_TRUE(dialogs.boxes.empty());
}

// Without an audio output (as on the test machine) the real player says so instead of
// pretending to play.
TEST(AlarmSound, TheDefaultSoundIsAWavTheRealPlayerPlaysWhereThereIsAnOutput) {
    const QString wav = ProgramSettings::kDefaultAlarmWav;
    QFile f(wav);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray head = f.read(16);
    EXPECT_TRUE(head.startsWith("RIFF") && head.mid(8, 8) == "WAVEfmt ");
    QtSoundPlayer player;
    EXPECT_EQ(player.PlayLoop(wav), !QMediaDevices::audioOutputs().isEmpty());
    player.Stop();
    EXPECT_FALSE(player.IsPlaying());
    player.Beep();
}

TEST(AlarmSound, AFileThePlayerCannotDecodeIsRefusedAndSaidOnce) {
    QTemporaryDir dir;
    const QString bad = dir.filePath("bad.wav");
    QFile f(bad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("RIFF\x10\0\0\0WAVEjunk", 16));
    f.close();
    QtSoundPlayer player;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(player.PlayLoop(bad));
    EXPECT_FALSE(player.PlayLoop(bad));
    const QString said = QString::fromStdString(testing::internal::GetCapturedStderr());
    EXPECT_EQ(said.count(bad), 1) << qPrintable(said);
    EXPECT_FALSE(player.IsPlaying());
}

} // namespace
