#include "display/alarmrules.h"

#include "meter/readnumber.h"
#include "platform/soundplayer.h"

namespace qmx {

namespace {

void setCaption(AlarmRules::Side& s, const QString& caption, qint32 color) {
    s.Caption = caption;
    s.CaptionColor = color;
}

} // namespace

AlarmRules::AlarmRules(SoundPlayer& sound, std::function<bool(const QString&)> fileExists)
    : sound_(sound), fileExists_(std::move(fileExists)) {
    Hi.Caption = kHiIdle;
    Lo.Caption = kLoIdle;
}

bool AlarmRules::KeyAccepted(QChar c) {
    const char16_t code = c.unicode();
    return code == 8 || (code >= 43 && code <= 57);
}

float AlarmRules::ParseThreshold(const QString& text) {
    return NarrowToSingle(ReadNumber(text));
}

void AlarmRules::showPanel(bool shown) {
    for (Side* s : {&Hi, &Lo}) {
        s->TextVisible = shown;
        s->LabelVisible = shown;
        s->ArmVisible = shown;
    }
}

void AlarmRules::setIdleCaptions() {
    setCaption(Hi, kHiIdle, VbColor::kBlack);
    setCaption(Lo, kLoIdle, VbColor::kBlack);
}

void AlarmRules::cmdAlarms_Click() {
    if (ButtonCaption == kIdleCaption) {
        if (!PanelShown()) {
            showPanel(true);
        } else {
            SetArmed(Which::Hi, false);
            SetArmed(Which::Lo, false);
            showPanel(false);
        }
        setIdleCaptions();
    } else if (ButtonCaption == kResetCaption) {
        // The button stays red until the next change of mode.
        sound_.Stop();
        ButtonCaption = kIdleCaption;
        SetArmed(Which::Hi, false);
        SetArmed(Which::Lo, false);
        showPanel(true);
        setIdleCaptions();
    }
}

void AlarmRules::SetArmed(Which which, bool armed) {
    Side& s = side(which);
    if (s.Armed == armed) {
        return;
    }
    s.Armed = armed;
    setCaption(s, which == Which::Hi ? kHiIdle : kLoIdle, VbColor::kBlack);
    s.LabelVisible = true;
}

void AlarmRules::SetText(Which which, const QString& text, float value) {
    Side& s = side(which);
    if (s.Text == text) {
        return;
    }
    s.Text = text;
    setIdleCaptions();
    if (!text.isEmpty()) {
        s.ArmEnabled = true;
    }
    // A label left hidden by the blinking shows again while its side is not crossed.
    const float threshold = ParseThreshold(text);
    const bool clear = which == Which::Hi ? threshold > value : threshold < value;
    if (clear) {
        s.LabelVisible = true;
    }
}

void AlarmRules::ModeChangeReset(const QString& modePrefix, const QString& previousModePrefix) {
    if (modePrefix == previousModePrefix) {
        return;
    }
    sound_.Stop();
    ButtonCaption = kIdleCaption;
    ButtonColor = VbColor::kLightRed;
    SetArmed(Which::Hi, false);
    SetArmed(Which::Lo, false);
    for (Side* s : {&Hi, &Lo}) {
        s->TextVisible = false;
        s->Text.clear();
    }
    for (Side* s : {&Hi, &Lo}) {
        s->LabelVisible = false;
    }
    for (Side* s : {&Hi, &Lo}) {
        s->ArmVisible = false;
        s->Armed = false;
        s->ArmEnabled = false;
    }
    setIdleCaptions();
}

void AlarmRules::ThresholdTests(float value, const QString& wavPath) {
    // A sound that turned out unplayable is no sounding alarm: the beep takes over.
    if (ButtonCaption == kResetCaption && sound_.Failed()) {
        ButtonCaption = kIdleCaption;
    }
    testSide(Hi, !Hi.Text.isEmpty() && value >= ParseThreshold(Hi.Text), kHiTrigger, wavPath);
    testSide(Lo, !Lo.Text.isEmpty() && value <= ParseThreshold(Lo.Text), kLoTrigger, wavPath);
}

void AlarmRules::testSide(Side& s, bool crossed, const QString& trigger, const QString& wavPath) {
    if (!crossed) {
        return;
    }
    setCaption(s, trigger, VbColor::kRed);
    if (!s.Armed || ButtonCaption != kIdleCaption) {
        return;
    }
    ButtonColor = VbColor::kRed;
    if (fileExists_(wavPath) && sound_.PlayLoop(wavPath)) {
        ButtonCaption = kResetCaption;
    } else {
        // The caption stays, so the beep repeats every tick while the side stays crossed.
        sound_.Beep();
    }
}

void AlarmRules::Blink() {
    // The labels belong to the panel: a hidden panel shows none, latched or not.
    if (!PanelShown()) {
        return;
    }
    if (Hi.Caption != kHiIdle) {
        Hi.LabelVisible = !Hi.LabelVisible;
    }
    if (Lo.Caption != kLoIdle) {
        Lo.LabelVisible = !Lo.LabelVisible;
    }
}

} // namespace qmx
