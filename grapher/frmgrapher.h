#pragma once

#include "grapher/graphview.h"
#include "grapher/timeaxis.h"
#include "platform/services.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;

namespace qmx {

class DbError;
class LogDocument;
struct GraphCaptions;
class PictureBox;
class frmMain;

// The graph window: one log plotted with its scale, the run's date and comment, a
// cursor with the readout of the sample under it, zoom, sign filter and export.
class frmGrapher : public QMainWindow {
    Q_OBJECT
public:
    static inline const QString kTitle = QStringLiteral("QMX-7300 Data Graphing Module");
    static inline const QString kLoadErrorTitle = QStringLiteral("Cannot Start Graphing Program!");
    static inline const QString kReadErrorTitle = QStringLiteral("Log File Read Error!");
    static inline const QString kPictureDialogTitle = QStringLiteral("Save Graph as Picture");
    static inline const QString kPictureFailedTitle = QStringLiteral("Picture Not Saved!");
    static inline const QString kStatisticsTitle = QStringLiteral("Statistics of the View");

    frmGrapher(frmMain& main, Services services);
    ~frmGrapher() override;

    // The window's load on the main window's GraphFilePath. False when the file was
    // refused: the user has seen why and the window has closed.
    bool Form_Load();
    // Shows another file in the open window. False when the file was refused.
    bool LoadFile(const QString& path);

    void cmdOpen_Click();
    void cmdReturn_Click();
    void cmdZoom_Click();
    void cmdReset_Click();
    void cmdPlusMinus_Click();
    void picGraph_MouseDown(double x);
    void picGraph_MouseMove(double x);
    void Form_KeyDown(int key);
    void mnuAbout_Click();
    void mnuContents_Click();
    void mnuCAccess_Click();
    void mnuCDelimited_Click();
    void mnuSavePicture_Click();
    void mnuStatistics_Click();

    GraphView View;

    PictureBox* picGraph = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblFileName = nullptr;
    QLabel* lblDate = nullptr;
    QLineEdit* txtComment = nullptr;
    QLabel* lblMax = nullptr;
    QLabel* lblMidHigh = nullptr;
    QLabel* lblMid = nullptr;
    QLabel* lblMidLow = nullptr;
    QLabel* lblMin = nullptr;
    QLabel* lblTS = nullptr;
    QLabel* lblType = nullptr;
    QLabel* lblUnits = nullptr;
    QLabel* lblValue = nullptr;
    QLabel* lbldBu = nullptr;
    QLabel* lblMaxVal = nullptr;
    QLabel* lblMinVal = nullptr;
    // The time stamps under the plot, left to right; those not needed are hidden.
    std::array<QLabel*, TimeAxis::kMarks> lblTime{};
    QPushButton* cmdZoom = nullptr;
    QPushButton* cmdReset = nullptr;
    QPushButton* cmdPlusMinus = nullptr;
    QPushButton* cmdReturn = nullptr;
    QAction* mnuCAccess = nullptr;
    QAction* mnuCDelimited = nullptr;
    QAction* mnuSavePicture = nullptr;
    QAction* mnuStatistics = nullptr;
    QAction* cmdOpen = nullptr;
    QAction* mnuReturn = nullptr;
    QAction* mnuContents = nullptr;
    QAction* mnuAbout = nullptr;

    // The sample the cursor stands on (1-based; past the view after a redraw).
    [[nodiscard]] qint32 CurrentPosition() const { return current_; }
    [[nodiscard]] const LogDocument* Document() const { return log_.get(); }

signals:
    // The window has closed (it is deleted later).
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void connectHandlers();
    void placeOnMainScreen();
    void loadFailed(const DbError& error);
    void showHeader();
    void clearReadout();
    void redraw();
    // Runs a command that reads the open log, if one is open. Reading may fail once it is
    // open (its drive removed, the file cut short behind the window): the user is told and
    // the window lets the log go, as after a failed copy, until one is opened again.
    void withLog(const std::function<void()>& command);
    void readFailed(const QString& detail);
    void drawView();
    [[nodiscard]] std::array<QLabel*, 5> scaleLabels() const;
    void showTimes();
    void hideTimes();
    [[nodiscard]] GraphCaptions shownCaptions() const;
    void showSample();
    void txtComment_Change();

    frmMain& main_;
    Services services_;
    std::unique_ptr<LogDocument> log_;
    qint32 current_ = 0;
    ScaleLayout layout_;                // of the view drawn last
    std::vector<TimeAxis::Mark> times_; // shown under the plot
    QString shownComment_;              // the comment as the log showed it, to tell an edit
};

} // namespace qmx
