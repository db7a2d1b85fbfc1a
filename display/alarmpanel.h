#pragma once

#include "display/alarmrules.h"

#include <QObject>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace qmx {

// The alarm panel's controls beside the alarm button, showing the alarm rules and
// passing the user's clicks and typing to them.
class AlarmPanel : public QObject {
    Q_OBJECT
public:
    // Makes the six panel controls on parent; the button is the window's cmdAlarms.
    AlarmPanel(QWidget* parent, QPushButton* cmdAlarms, AlarmRules& rules,
               std::function<float()> currentValue);

    QLineEdit* txtHiAlarm = nullptr;
    QLineEdit* txtLowAlarm = nullptr;
    QLabel* lblHiThresh = nullptr;
    QLabel* lblLoThresh = nullptr;
    QCheckBox* chkHiSet = nullptr;
    QCheckBox* chkLoSet = nullptr;

    // Shows the rules' state on the controls.
    void Show();
    [[nodiscard]] std::vector<QWidget*> Controls() const;

    void cmdAlarms_Click();

private:
    void connectHandlers();

    QPushButton* cmdAlarms_;
    AlarmRules& rules_;
    std::function<float()> currentValue_;
};

} // namespace qmx
