// The alarm: its rules, its panel in the main window, and the real sound player.
#include "display/alarmrules.h"
#include "platform/programsettings.h"
#include "tests/support/mainwindowfixture.h"
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

using Which = AlarmRules::Which;
const QString kWav = "/sounds/attention.wav";
const QStringList kPlayed{"play:" + kWav};

class AlarmRulesTest : public ::testing::Test {
protected:
    RecordingSound sound;
    bool wavExists = true;
    AlarmRules rules{sound, [this](const QString&) { return wavExists; }};

    // The panel shown with a high and low threshold typed with the value 0 showing, and
    // the sides armed as asked.
    void setUpPanel(const QString& hi, const QString& lo, bool armHi = false, bool armLo = false) {
        rules.cmdAlarms_Click();
        rules.SetText(Which::Hi, hi, 0.0f);
        rules.SetText(Which::Lo, lo, 0.0f);
        rules.SetArmed(Which::Hi, armHi);
        rules.SetArmed(Which::Lo, armLo);
    }
    // One display tick's alarm steps at value v (mode unchanged).
    void tick(float v, int n = 1) {
        for (int i = 0; i < n; ++i) {
            rules.ThresholdTests(v, kWav);
            rules.Blink();
        }
    }
};

TEST_F(AlarmRulesTest, EqualityTriggersAndJustBelowDoesNot) {
    setUpPanel("5", "", true);
    rules.ThresholdTests(4.999f, kWav);
    EXPECT_EQ(rules.Hi.Caption, "Hi Threshold:");
    EXPECT_TRUE(sound.calls.isEmpty());
    rules.ThresholdTests(5.0f, kWav);
    EXPECT_EQ(rules.Hi.Caption, "Hi Trigger!");
    EXPECT_EQ(rules.Hi.CaptionColor, VbColor::kRed);
    EXPECT_EQ(sound.calls, kPlayed);
    EXPECT_EQ(rules.ButtonCaption, "RESET!");
    EXPECT_EQ(rules.ButtonColor, VbColor::kRed);
}

TEST_F(AlarmRulesTest, UnarmedCrossingBlinksWithoutSoundAndLatches) {
    setUpPanel("5", "");
    tick(6.0f);
    EXPECT_EQ(rules.Hi.Caption, "Hi Trigger!");
    EXPECT_TRUE(sound.calls.isEmpty());
    EXPECT_EQ(rules.ButtonCaption, "&Alarms");
    EXPECT_EQ(rules.ButtonColor, VbColor::kLightRed);
    const bool shown = rules.Hi.LabelVisible;
    tick(1.0f); // back between the thresholds
    EXPECT_EQ(rules.Hi.Caption, "Hi Trigger!") << "latched";
    EXPECT_NE(rules.Hi.LabelVisible, shown) << "blinking";
    tick(1.0f);
    EXPECT_EQ(rules.Hi.LabelVisible, shown);
}

class SilentSound : public AlarmRulesTest,
                    public ::testing::WithParamInterface<std::pair<bool, bool>> {};

// A missing file, or a sound that cannot play here (no audio output, a file the player
// cannot decode), gives the beep on every tick instead, until the panel is hidden.
TEST_P(SilentSound, BeepsEveryTickUntilThePanelIsHidden) {
    std::tie(wavExists, sound.playable) = GetParam();
    setUpPanel("5", "", true);
    tick(7.0f, 3);
    EXPECT_EQ(sound.count("beep"), 3);
    EXPECT_EQ(rules.ButtonCaption, "&Alarms");
    EXPECT_EQ(rules.ButtonColor, VbColor::kRed);
    rules.cmdAlarms_Click(); // hides the panel and disarms
    EXPECT_FALSE(rules.PanelShown());
    tick(7.0f);
    EXPECT_EQ(sound.count("beep"), 3);
    EXPECT_EQ(rules.ButtonColor, VbColor::kRed) << "red until the next mode change";
}

INSTANTIATE_TEST_SUITE_P(MissingFileOrCannotPlay, SilentSound,
                         ::testing::Values(std::pair{false, true}, std::pair{true, false}));

TEST_F(AlarmRulesTest, ASoundThatFailsOnceStartedTurnsIntoTheBeep) {
    setUpPanel("5", "", true);
    tick(7.0f);
    ASSERT_EQ(rules.ButtonCaption, "RESET!");
    sound.failed = true;
    sound.playable = false;
    tick(7.0f, 2);
    EXPECT_EQ(rules.ButtonCaption, "&Alarms");
    EXPECT_EQ(sound.count("beep"), 2);
}

// Digits and signs pass (letters do not: the entry test); a threshold beyond the single
// range, or none, is never reached.
TEST_F(AlarmRulesTest, ThresholdKeysAndThresholdsBeyondTheRange) {
    for (QChar c : QString("0123456789+,-./\b")) {
        EXPECT_TRUE(AlarmRules::KeyAccepted(c)) << int(c.unicode());
    }
    for (const QString& beyond : {QString(), "9" + QString(50, '9')}) {
        setUpPanel(beyond, beyond.isEmpty() ? beyond : "-" + beyond);
        for (float v : {-3.4e38f, 0.0f, 3.4e38f}) {
            rules.ThresholdTests(v, kWav);
        }
        EXPECT_EQ(rules.Hi.Caption, "Hi Threshold:") << qPrintable(beyond);
        EXPECT_EQ(rules.Lo.Caption, "Lo Threshold:") << qPrintable(beyond);
        rules.cmdAlarms_Click(); // hidden again
    }
}

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
