#include "display/alarmpanel.h"

#include "ui/controls.h"
#include "ui/twips.h"
#include "ui/widgetcolors.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QValidator>

namespace qmx {

namespace {

constexpr int kHiRowTopTw = 2500;
constexpr int kLoRowTopTw = 2755;
constexpr int kRowHeightTw = 255;
constexpr int kLabelLeftTw = 4680;
constexpr int kTextLeftTw = 5850;
constexpr int kArmLeftTw = 6630;
constexpr double kPanelPointSize = 9.75;

QFont panelFont() {
    QFont font("Times New Roman");
    font.setPointSizeF(kPanelPointSize);
    font.setBold(true);
    return font;
}

QRect cell(int leftTw, int rightTw, int topTw) {
    return {TwipsToPx(leftTw), TwipsToPx(topTw), TwipsToPx(rightTw - leftTw),
            TwipsToPx(kRowHeightTw)};
}

// The threshold boxes' filter. Whatever way text comes in (typed, pasted, dropped, from
// the context menu), characters other than the digits and + , - . / are discarded.
class ThresholdFilter : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override {
        QString kept;
        for (qsizetype i = 0; i < input.size(); ++i) {
            if (AlarmRules::KeyAccepted(input[i])) {
                kept += input[i];
            } else if (i < pos) {
                --pos;
            }
        }
        input = kept;
        return Acceptable;
    }
};

void showSide(const AlarmRules::Side& s, QLineEdit* text, QLabel* label, QCheckBox* arm) {
    const QSignalBlocker blockText(text);
    const QSignalBlocker blockArm(arm);
    if (text->text() != s.Text) {
        text->setText(s.Text);
    }
    text->setVisible(s.TextVisible);
    label->setText(s.Caption);
    SetForeColor(label, s.CaptionColor);
    label->setVisible(s.LabelVisible);
    arm->setChecked(s.Armed);
    arm->setEnabled(s.ArmEnabled);
    arm->setVisible(s.ArmVisible);
}

} // namespace

AlarmPanel::AlarmPanel(QWidget* parent, QPushButton* cmdAlarms, AlarmRules& rules,
                       std::function<float()> currentValue)
    : QObject(parent), cmdAlarms_(cmdAlarms), rules_(rules),
      currentValue_(std::move(currentValue)) {
    const auto makeRow = [&](const char* label, const char* text, const char* arm, int topTw,
                             QLabel*& l, QLineEdit*& t, QCheckBox*& c) {
        l = MakeLabel(parent, label, QString(), cell(kLabelLeftTw, kTextLeftTw, topTw));
        t = MakeEdit(parent, text, cell(kTextLeftTw, kArmLeftTw, topTw));
        SetBackColor(t, VbColor::kLightRed);
        t->setValidator(new ThresholdFilter(t));
        c = new QCheckBox(parent);
        c->setObjectName(arm);
        c->setGeometry(cell(kArmLeftTw, kArmLeftTw + 270, topTw));
        for (QWidget* w : {static_cast<QWidget*>(l), static_cast<QWidget*>(t)}) {
            w->setFont(panelFont());
        }
    };
    makeRow("lblHiThresh", "txtHiAlarm", "chkHiSet", kHiRowTopTw, lblHiThresh, txtHiAlarm,
            chkHiSet);
    makeRow("lblLoThresh", "txtLowAlarm", "chkLoSet", kLoRowTopTw, lblLoThresh, txtLowAlarm,
            chkLoSet);
    connectHandlers();
    Show();
}

std::vector<QWidget*> AlarmPanel::Controls() const {
    return {txtHiAlarm, txtLowAlarm, lblHiThresh, lblLoThresh, chkHiSet, chkLoSet};
}

void AlarmPanel::connectHandlers() {
    using Which = AlarmRules::Which;
    connect(cmdAlarms_, &QPushButton::clicked, this, &AlarmPanel::cmdAlarms_Click);
    connect(chkHiSet, &QCheckBox::clicked, this, [this](bool on) {
        rules_.SetArmed(Which::Hi, on);
        Show();
    });
    connect(chkLoSet, &QCheckBox::clicked, this, [this](bool on) {
        rules_.SetArmed(Which::Lo, on);
        Show();
    });
    connect(txtHiAlarm, &QLineEdit::textEdited, this, [this](const QString& text) {
        rules_.SetText(Which::Hi, text, currentValue_());
        Show();
    });
    connect(txtLowAlarm, &QLineEdit::textEdited, this, [this](const QString& text) {
        rules_.SetText(Which::Lo, text, currentValue_());
        Show();
    });
}

void AlarmPanel::cmdAlarms_Click() {
    rules_.cmdAlarms_Click();
    Show();
}

void AlarmPanel::Show() {
    cmdAlarms_->setText(rules_.ButtonCaption);
    SetBackColor(cmdAlarms_, rules_.ButtonColor);
    showSide(rules_.Hi, txtHiAlarm, lblHiThresh, chkHiSet);
    showSide(rules_.Lo, txtLowAlarm, lblLoThresh, chkLoSet);
}

} // namespace qmx
