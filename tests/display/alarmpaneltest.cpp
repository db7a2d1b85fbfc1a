#include "tests/support/mainwindowfixture.h"

#include "ui/qtsoundplayer.h"
#include "ui/twips.h"
#include "ui/widgetcolors.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSoundEffect>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class AlarmPanelTest : public MainWindowFixture {
protected:
    QString wav;

    void SetUp() override {
        MainWindowFixture::SetUp();
        ASSERT_TRUE(load());
        wav = programFolder.filePath("attention.wav");
        QFile f(wav);
        f.open(QIODevice::WriteOnly);
        f.write("RIFF");
        showLine("DC  1.000 V");
    }
    AlarmPanel& panel() { return *w->Panel; }
};

TEST_F(AlarmPanelTest, StartsHiddenBesideTheAlarmButton) {
    EXPECT_FALSE(panel().txtHiAlarm->isVisibleTo(w.get()));
    EXPECT_FALSE(panel().chkLoSet->isEnabled());
    EXPECT_EQ(panel().lblHiThresh->x(), TwipsToPx(4680));
    EXPECT_EQ(panel().txtHiAlarm->x(), TwipsToPx(5850));
    EXPECT_EQ(panel().chkHiSet->x(), TwipsToPx(6630));
    EXPECT_LT(panel().txtHiAlarm->y(), panel().txtLowAlarm->y());
    EXPECT_TRUE(panel().txtHiAlarm->font().bold());
    EXPECT_EQ(BackColorOf(panel().txtLowAlarm), VbColor::kLightRed);
    QTest::mouseClick(w->cmdAlarms, Qt::LeftButton);
    EXPECT_TRUE(panel().txtHiAlarm->isVisibleTo(w.get()));
    EXPECT_EQ(panel().lblHiThresh->text(), "Hi Threshold:");
    EXPECT_EQ(panel().lblLoThresh->text(), "Lo Threshold:");
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

TEST_F(AlarmPanelTest, AModeChangeOnTheMeterClearsThePanelAndStopsTheSound) {
    QTest::mouseClick(w->cmdAlarms, Qt::LeftButton);
    QTest::keyClicks(panel().txtHiAlarm, "0.5");
    QTest::mouseClick(panel().chkHiSet, Qt::LeftButton);
    showLine("DC  1.000 V");
    ASSERT_EQ(w->cmdAlarms->text(), "RESET!");
    showLine("AC  0.775 V");
    EXPECT_EQ(sound.calls.last(), "stop");
    EXPECT_EQ(w->cmdAlarms->text(), "&Alarms");
    EXPECT_EQ(BackColorOf(w->cmdAlarms), VbColor::kLightRed);
    EXPECT_EQ(panel().txtHiAlarm->text(), "");
    EXPECT_FALSE(panel().txtHiAlarm->isVisibleTo(w.get()));
    EXPECT_FALSE(panel().chkHiSet->isEnabled());
}

TEST_F(AlarmPanelTest, TheDbuViewMovesThePanelWithTheButtons) {
    showLine("AC  0.775 V");
    const int top = panel().txtLowAlarm->y();
    w->cmdDB_Click();
    EXPECT_EQ(panel().txtLowAlarm->y(), top + TwipsToPx(1650));
    w->cmdDB_Click();
    EXPECT_EQ(panel().txtLowAlarm->y(), top);
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

TEST(AlarmSound, TheGeneratedWavPlaysThroughTheRealPlayerAndStops) {
    const QString wav = QString(QMX_BIN_DIR) + "/attention.wav";
    ASSERT_TRUE(QFile::exists(wav));
    QFile f(wav);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray head = f.read(44);
    EXPECT_TRUE(head.startsWith("RIFF") && head.mid(8, 8) == "WAVEfmt ");
    QtSoundPlayer player;
    player.PlayLoop(wav);
    EXPECT_EQ(player.Source(), wav);
    QTest::qWait(100);
    EXPECT_FALSE(player.HasError());
    player.PlayLoop(wav); // playing it again replaces it
    player.Stop();
    EXPECT_FALSE(player.IsPlaying());
    player.Beep();
}

} // namespace
