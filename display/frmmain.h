#pragma once

#include "display/alarmpanel.h"
#include "display/alarmrules.h"
#include "display/displaycolors.h"
#include "display/readingmodel.h"
#include "logging/chartstate.h"
#include "logging/loggingrun.h"
#include "meter/meterlink.h"
#include "platform/programsettings.h"
#include "platform/services.h"

#include <QMainWindow>
#include <QTimer>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;

namespace qmx {

class frmGrapher;
class frmLogger;
class LogWriter;

// The main window: the live reading in large type, the dBu view, the alarm button,
// the port and display settings, and the program's start-up and quit.
class frmMain : public QMainWindow {
    Q_OBJECT
public:
    static inline const QString kTitle = QStringLiteral("QMX-7300 RS-232 Communications");

    explicit frmMain(Services services, QWidget* parent = nullptr);
    ~frmMain() override;

    // The start-up. False when the port could not be opened: the user has seen why
    // and the program ends.
    [[nodiscard]] bool Form_Load();

    // Handlers.
    void tmrDispUpdate_Timer();
    void cmdDB_Click();
    void ResetMaxMin();
    void cmdQuit_Click();
    void mnuExit_Click() { cmdQuit_Click(); }
    void mnuCom_Click(int n);
    void mnuBGBlack_Click() { setBackground(VbColor::kBlack); }
    void mnuBGWhite_Click() { setBackground(VbColor::kWhite); }
    void mnuFGBlack_Click() { setForeground(VbColor::kBlack); }
    void mnuFGWhite_Click() { setForeground(VbColor::kWhite); }
    void mnuRed_Click() { setForeground(VbColor::kRed); }
    void mnuGreen_Click() { setForeground(VbColor::kGreen); }
    void mnuBlue_Click() { setForeground(VbColor::kBlue); }
    void mnuYellow_Click() { setForeground(VbColor::kYellow); }
    void mnuFont_Click();
    void mnuAlarm_Click();
    void mnuAbout_Click();
    void mnuContents_Click();
    void cmdLogger_Click();
    void mnuLogger_Click() { cmdLogger_Click(); }
    void mnuOpen_Click();
    // Opens the graph window on a log, or shows the log in the open one.
    void OpenGraph(const QString& path);

    // Appends the reading shown now as one sample row of the log being written.
    void GetRowofData() { Run.GetRowofData(); }
    // Ends the program at once, without saving anything or running any closing steps.
    void EndProgramAtOnce();
    bool Ended = false;

    // State shared with the other windows.
    float ProgramVersion = 0.0f;
    qint16 ScreenWidthPx = 0;
    qint16 ScreenHeightPx = 0;
    QString GraphFilePath;
    QString AlarmWavPath;
    QString FontFace; // the reading display's face as read or chosen, saved as it is
    bool LoggerOpen = false;
    bool DbuViewShown = false;

    MeterLink Link;
    ReadingModel Reading;
    DisplayColors Colors;
    AlarmRules Alarms;
    ChartState Chart;

    QTimer tmrDispUpdate;

    // The logging run and, by their names here, its parts.
    LoggingRun Run;
    QString& LogFilePath = Run.LogFilePath;
    qint32& LogIntervalMs = Run.LogIntervalMs;
    qint32& SampleCount = Run.SampleCount;
    bool& DbCreateFailed = Run.DbCreateFailed;
    bool& LoggingActive = Run.LoggingActive;
    QTimer& tmrLogClock = Run.tmrLogClock;

    // The other windows while they are open; they go with this window.
    std::unique_ptr<frmLogger> Logger;
    std::unique_ptr<frmGrapher> Grapher;

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* cmdDB = nullptr;
    QPushButton* cmdLogger = nullptr;
    QPushButton* cmdAlarms = nullptr;
    QPushButton* cmdQuit = nullptr;
    QFrame* Line1 = nullptr;
    AlarmPanel* Panel =
        nullptr; // txtHiAlarm, txtLowAlarm, lblHiThresh, lblLoThresh, chkHiSet, chkLoSet

    QAction* mnuLogger = nullptr;
    QAction* mnuOpen = nullptr;
    QAction* mnuExit = nullptr;
    std::array<QAction*, PortMap::kPorts> mnuCom{};
    QAction* mnuFont = nullptr;
    QAction* mnuBGBlack = nullptr;
    QAction* mnuBGWhite = nullptr;
    QAction* mnuFGBlack = nullptr;
    QAction* mnuFGWhite = nullptr;
    QAction* mnuRed = nullptr;
    QAction* mnuGreen = nullptr;
    QAction* mnuBlue = nullptr;
    QAction* mnuYellow = nullptr;
    QAction* mnuAlarm = nullptr;
    QAction* mnuContents = nullptr;
    QAction* mnuAbout = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void connectHandlers();

    void placeControls();
    void EnterDbuView();
    void LeaveDbuView();
    void moveButtonRow(int dy);
    void showDbuPart(bool acVolts);
    void markLinkTalking();

    void setBackground(qint32 color);
    void setForeground(qint32 color);
    void applyColors();
    void markPortMenu();

    void alarmModeChangeReset(const QString& modePrefix);
    void alarmThresholdTests();
    void alarmBlink();
    void redrawChartTrace();

    void startupFailure(const PortFailure& failure);
    void unloadOtherWindows(bool abandon);
    void quitSequence();
    void Form_Unload();

    Services services_;
    ProgramSettings settings_;
    std::vector<QWidget*> buttonRow_; // moved down and up by the dBu view, with cmdQuit
    bool loaded_ = false;
    bool unloaded_ = false;
    bool alarmWavChosen_ = false; // only a sound the user chose is saved
};

} // namespace qmx
