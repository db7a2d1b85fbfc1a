#pragma once

#include "display/vbcolor.h"

#include <QString>

#include <functional>

namespace qmx {

class SoundPlayer;

// The threshold alarms of the main window, without widgets: the alarm button's caption
// and colour, and for each side the threshold text, the trigger label and the arm box.
// The captions are the state, compared as exact texts, as the window shows them.
class AlarmRules {
public:
    static inline const QString kIdleCaption = QStringLiteral("&Alarms");
    static inline const QString kResetCaption = QStringLiteral("RESET!");
    static inline const QString kHiIdle = QStringLiteral("Hi Threshold:");
    static inline const QString kLoIdle = QStringLiteral("Lo Threshold:");
    static inline const QString kHiTrigger = QStringLiteral("Hi Trigger!");
    static inline const QString kLoTrigger = QStringLiteral("Lo Trigger!");

    struct Side {
        QString Text; // the threshold text; empty disables the side
        bool TextVisible = false;
        QString Caption; // idle caption or trigger message
        qint32 CaptionColor = VbColor::kBlack;
        bool LabelVisible = false;
        bool Armed = false; // the arm box's value
        bool ArmEnabled = false;
        bool ArmVisible = false;
    };
    enum class Which { Hi, Lo };

    // fileExists tells whether the alarm sound file is there to be played.
    AlarmRules(SoundPlayer& sound, std::function<bool(const QString&)> fileExists);

    QString ButtonCaption = kIdleCaption;
    qint32 ButtonColor = VbColor::kLightRed;
    Side Hi;
    Side Lo;

    // Whether a typed character may go into a threshold box: backspace, + , - . / and digits.
    [[nodiscard]] static bool KeyAccepted(QChar c);
    // A threshold text as a single; beyond the single range, an infinity of its sign.
    [[nodiscard]] static float ParseThreshold(const QString& text);

    void cmdAlarms_Click();
    // The arm box changed, by the user or by the rules themselves.
    void SetArmed(Which which, bool armed);
    // The threshold text changed; value is the current reading.
    void SetText(Which which, const QString& text, float value);

    // The tick's steps: a new mode clears everything; the thresholds are tested against
    // the current value (a sound that cannot play gives the beep); the trigger labels of
    // the shown panel blink.
    void ModeChangeReset(const QString& modePrefix, const QString& previousModePrefix);
    void ThresholdTests(float value, const QString& wavPath);
    void Blink();

    [[nodiscard]] bool PanelShown() const { return Hi.TextVisible; }

private:
    Side& side(Which which) { return which == Which::Hi ? Hi : Lo; }
    void showPanel(bool shown);
    void setIdleCaptions();
    void testSide(Side& s, bool crossed, const QString& trigger, const QString& wavPath);

    SoundPlayer& sound_;
    std::function<bool(const QString&)> fileExists_;
};

} // namespace qmx
