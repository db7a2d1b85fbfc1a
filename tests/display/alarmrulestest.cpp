#include "display/alarmrules.h"
#include "tests/support/fakes.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace qmx;

namespace {

using Which = AlarmRules::Which;
const QString kWav = "/sounds/attention.wav";

class AlarmRulesTest : public ::testing::Test {
protected:
    RecordingSound sound;
    bool wavExists = true;
    AlarmRules rules{sound, [this](const QString&) { return wavExists; }};

    // The panel shown with a high and low threshold, as typed with the value v showing.
    void setUpPanel(const QString& hi, const QString& lo, float v = 0.0f) {
        rules.cmdAlarms_Click();
        rules.SetText(Which::Hi, hi, v);
        rules.SetText(Which::Lo, lo, v);
    }
    // One display tick's alarm steps at value v (mode unchanged).
    void tick(float v) {
        rules.ThresholdTests(v, kWav);
        rules.Blink();
    }
};

TEST_F(AlarmRulesTest, EqualityTriggersAndJustBelowDoesNot) {
    setUpPanel("5", "");
    rules.SetArmed(Which::Hi, true);
    rules.ThresholdTests(4.999f, kWav);
    EXPECT_EQ(rules.Hi.Caption, "Hi Threshold:");
    EXPECT_TRUE(sound.calls.isEmpty());
    rules.ThresholdTests(5.0f, kWav);
    EXPECT_EQ(rules.Hi.Caption, "Hi Trigger!");
    EXPECT_EQ(rules.Hi.CaptionColor, VbColor::kRed);
    EXPECT_EQ(sound.calls, QStringList{"play:" + kWav});
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

TEST_F(AlarmRulesTest, NoRestartWhileSoundingAndOneStartWhenBothSidesCross) {
    setUpPanel("5", "5");
    rules.SetArmed(Which::Hi, true);
    rules.SetArmed(Which::Lo, true);
    rules.ThresholdTests(5.0f, kWav);
    EXPECT_EQ(sound.calls, QStringList{"play:" + kWav});
    EXPECT_EQ(rules.Lo.Caption, "Lo Trigger!");
    rules.ThresholdTests(6.0f, kWav);
    EXPECT_EQ(sound.calls.size(), 1);
}

struct SilentCase {
    bool fileExists;
    bool playable;
    friend void PrintTo(const SilentCase& c, std::ostream* os) {
        *os << (c.fileExists ? "cannot play" : "missing file");
    }
};

class SilentSound : public AlarmRulesTest, public ::testing::WithParamInterface<SilentCase> {};

// A missing file, or a sound that cannot play here (no audio output, a file the player
// cannot decode), gives the beep on every tick instead.
TEST_P(SilentSound, BeepsEveryTickUntilThePanelIsHidden) {
    wavExists = GetParam().fileExists;
    sound.playable = GetParam().playable;
    setUpPanel("5", "");
    rules.SetArmed(Which::Hi, true);
    tick(7.0f);
    tick(7.0f);
    tick(7.0f);
    EXPECT_EQ(sound.count("beep"), 3);
    EXPECT_EQ(rules.ButtonCaption, "&Alarms");
    EXPECT_EQ(rules.ButtonColor, VbColor::kRed);
    rules.cmdAlarms_Click(); // hides the panel and disarms
    EXPECT_FALSE(rules.PanelShown());
    tick(7.0f);
    EXPECT_EQ(sound.count("beep"), 3);
    EXPECT_EQ(rules.ButtonColor, VbColor::kRed) << "red until the next mode change";
}

INSTANTIATE_TEST_SUITE_P(Causes, SilentSound,
                         ::testing::Values(SilentCase{false, true}, SilentCase{true, false}));

TEST_F(AlarmRulesTest, ASoundThatFailsOnceStartedTurnsIntoTheBeep) {
    setUpPanel("5", "");
    rules.SetArmed(Which::Hi, true);
    tick(7.0f);
    ASSERT_EQ(rules.ButtonCaption, "RESET!");
    sound.failed = true;
    sound.playable = false;
    tick(7.0f);
    tick(7.0f);
    EXPECT_EQ(rules.ButtonCaption, "&Alarms");
    EXPECT_EQ(sound.count("beep"), 2);
}

TEST_F(AlarmRulesTest, ResetStopsTheSoundKeepsThresholdsAndDisarms) {
    setUpPanel("5", "-5");
    rules.SetArmed(Which::Hi, true);
    rules.SetArmed(Which::Lo, true);
    rules.ThresholdTests(9.0f, kWav);
    rules.cmdAlarms_Click();
    EXPECT_EQ(sound.calls.last(), "stop");
    EXPECT_EQ(rules.ButtonCaption, "&Alarms");
    EXPECT_EQ(rules.ButtonColor, VbColor::kRed);
    EXPECT_EQ(rules.Hi.Text, "5");
    EXPECT_EQ(rules.Lo.Text, "-5");
    EXPECT_FALSE(rules.Hi.Armed);
    EXPECT_FALSE(rules.Lo.Armed);
    EXPECT_TRUE(rules.PanelShown());
    EXPECT_EQ(rules.Hi.Caption, "Hi Threshold:");
}

TEST_F(AlarmRulesTest, ModeChangeClearsEverything) {
    setUpPanel("5", "1");
    rules.SetArmed(Which::Hi, true);
    rules.ThresholdTests(9.0f, kWav);
    rules.ModeChangeReset("AC", "DC");
    EXPECT_EQ(sound.calls.last(), "stop");
    EXPECT_EQ(rules.ButtonCaption, "&Alarms");
    EXPECT_EQ(rules.ButtonColor, VbColor::kLightRed);
    for (const AlarmRules::Side* s : {&rules.Hi, &rules.Lo}) {
        EXPECT_EQ(s->Text, "");
        EXPECT_FALSE(s->TextVisible);
        EXPECT_FALSE(s->LabelVisible);
        EXPECT_FALSE(s->Armed);
        EXPECT_FALSE(s->ArmEnabled);
        EXPECT_FALSE(s->ArmVisible);
    }
    EXPECT_EQ(rules.Hi.Caption, "Hi Threshold:");
    const auto calls = sound.calls.size();
    rules.ModeChangeReset("AC", "AC");
    EXPECT_EQ(sound.calls.size(), calls) << "the same mode changes nothing";
}

TEST_F(AlarmRulesTest, UncheckingAnArmedBoxWhileSoundingClearsItsLabelButNotTheSound) {
    setUpPanel("5", "");
    rules.SetArmed(Which::Hi, true);
    rules.ThresholdTests(9.0f, kWav);
    rules.SetArmed(Which::Hi, false);
    EXPECT_EQ(rules.Hi.Caption, "Hi Threshold:");
    EXPECT_TRUE(rules.Hi.LabelVisible);
    EXPECT_EQ(sound.calls, QStringList{"play:" + kWav});
    EXPECT_EQ(rules.ButtonCaption, "RESET!");
}

TEST_F(AlarmRulesTest, EditingAThresholdClearsBothTriggersAndEnablesItsArmBox) {
    setUpPanel("", "");
    EXPECT_FALSE(rules.Hi.ArmEnabled);
    rules.SetText(Which::Hi, "5", 0.0f);
    rules.SetText(Which::Lo, "1", 0.0f);
    rules.ThresholdTests(0.0f, kWav);
    EXPECT_EQ(rules.Lo.Caption, "Lo Trigger!");
    rules.SetText(Which::Hi, "6", 0.0f);
    EXPECT_EQ(rules.Lo.Caption, "Lo Threshold:");
    EXPECT_TRUE(rules.Hi.ArmEnabled);
    rules.SetText(Which::Hi, "", 0.0f);
    EXPECT_TRUE(rules.Hi.ArmEnabled) << "an emptied text does not disable the box";
}

TEST_F(AlarmRulesTest, EditingShowsALabelTheBlinkLeftHiddenWhenItsSideIsClear) {
    setUpPanel("5", "1");
    rules.ThresholdTests(9.0f, kWav);
    rules.Blink(); // hides the high label
    ASSERT_FALSE(rules.Hi.LabelVisible);
    rules.SetText(Which::Hi, "10", 9.0f);
    EXPECT_TRUE(rules.Hi.LabelVisible) << "10 is above the value 9";
    rules.Blink();
    rules.SetText(Which::Lo, "8", 9.0f);
    EXPECT_TRUE(rules.Lo.LabelVisible) << "8 is below the value 9";
}

TEST(AlarmKeyFilter, DigitsAndSignsPassLettersDoNot) {
    for (QChar c : QString("0123456789+,-./\b")) {
        EXPECT_TRUE(AlarmRules::KeyAccepted(c)) << int(c.unicode());
    }
    for (QChar c : QString("eEaZ *=")) {
        EXPECT_FALSE(AlarmRules::KeyAccepted(c)) << int(c.unicode());
    }
}

TEST(AlarmThresholds, ParseLikeTheMeterValues) {
    EXPECT_FLOAT_EQ(AlarmRules::ParseThreshold("1,5"), 1.0f);
    EXPECT_FLOAT_EQ(AlarmRules::ParseThreshold(" - 2 . 5"), -2.5f);
    EXPECT_FLOAT_EQ(AlarmRules::ParseThreshold("-"), 0.0f);
    EXPECT_EQ(AlarmRules::ParseThreshold("1" + QString(45, '0')), INFINITY);
    EXPECT_EQ(AlarmRules::ParseThreshold("-1" + QString(45, '0')), -INFINITY);
}

TEST_F(AlarmRulesTest, AnEmptyTextOrOneBeyondTheSingleRangeNeverTriggers) {
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

} // namespace
