#pragma once

#include "platform/services.h"

#include <QMainWindow>
#include <QTimer>

#include <functional>
#include <memory>

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace qmx {

class ChartView;
class PictureBox;
class DisplayColors;
class LoggingRun;
class ReadingModel;
struct ChartState;

// What the logging window shares with the main window: the run it drives, the reading
// and chart it shows, the display's colours, and the main window itself, which it is
// placed against.
struct LoggerContext {
    QWidget& mainWindow;
    qint16 screenWidthPx;
    float programVersion;
    LoggingRun& run;
    const ReadingModel& reading;
    ChartState& chart;
    const DisplayColors& colors;
    std::function<void()> endProgram; // ends the program at once
};

// The logging window: the log file, the sampling interval and a comment, and a run
// started and stopped by hand or at two clock times.
class frmLogger : public QMainWindow {
    Q_OBJECT
public:
    static inline const QString kTitle = QStringLiteral("QMX-7300 Logger");
    static inline const QString kIdleStatus = QStringLiteral("Logger Start/Stop Control");

    frmLogger(LoggerContext context, Services services);
    ~frmLogger() override;

    // The opening steps; the window shows itself.
    void Form_Load();

    void cmdStart_Click();
    void cmdStop_Click();
    void cmdReturn_Click() { close(); }
    void cmdBrowse_Click();
    void optManual_Click();
    void optTimer_Click();
    void tmrRealTime_Timer();
    void txtSampInt_LostFocus();
    void mnuAbout_Click();
    void mnuContents_Click();
    // Shows the run's sample count.
    void ShowSampleCount();
    // Stops the run after a row could not be saved, and says why.
    void RecordingFailed(const QString& message);
    // Redraws the strip chart's trace from the chart's buffer.
    void DrawChartTrace();
    // Closes without any closing steps (the program ends at once).
    void Abandon();

    bool StatusBlink = false;
    QTimer tmrRealTime;

    QLineEdit* txtFilePath = nullptr;
    QPushButton* cmdBrowse = nullptr;
    QLineEdit* txtSampInt = nullptr;
    QLineEdit* txtComment = nullptr;
    QRadioButton* optManual = nullptr;
    QRadioButton* optTimer = nullptr;
    QLineEdit* mskStartTime = nullptr;
    QLineEdit* mskEndTime = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* lblRealTime = nullptr;
    QPushButton* cmdStart = nullptr;
    QPushButton* cmdStop = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* lblSampCount = nullptr;
    QLabel* Label5 = nullptr;
    QPushButton* cmdReturn = nullptr;
    QAction* mnuReturn = nullptr;
    QAction* mnuContents = nullptr;
    QAction* mnuAbout = nullptr;
    PictureBox* picGraph = nullptr;
    QLabel* lblMax = nullptr;
    QLabel* lblMidHigh = nullptr;
    QLabel* lblMid = nullptr;
    QLabel* lblMidLow = nullptr;
    QLabel* lblMin = nullptr;
    QLabel* lblRescale = nullptr;
    QLabel* lblType = nullptr;

signals:
    // The window has closed (it is deleted later).
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildChartControls(QWidget* client);
    void buildMenus();
    void connectHandlers();
    void place();
    void showTimeControls(bool shown);
    void emptyTimeBoxes();
    void readyToStart();
    void txtComment_Change();
    void timedStartStop();
    void chartTick();
    void timeBoxEvent(QLineEdit* box, QEvent* event);

    LoggerContext main_;
    std::unique_ptr<ChartView> chart_;
    Services services_;
    QString previousClock_;
    bool movedMain_ = false;
    bool abandoned_ = false;
    bool creating_ = false; // the log file of a run is being made
};

} // namespace qmx
