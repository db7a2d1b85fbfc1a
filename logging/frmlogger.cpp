#include "logging/frmlogger.h"

#include "display/displaycolors.h"
#include "display/readingmodel.h"
#include "help/helptexts.h"
#include "logging/chartview.h"
#include "logging/createlogdatabase.h"
#include "logging/loggingrun.h"
#include "logging/runcontrol.h"
#include "logging/samplerow.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/programsettings.h"
#include "ui/controls.h"
#include "ui/outersize.h"
#include "ui/picturebox.h"
#include "ui/twips.h"
#include "ui/widgetcolors.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>

namespace qmx {

namespace {

constexpr std::chrono::milliseconds kRealTimeTick{1000};
constexpr int kHeightTw = 4550;
constexpr int kMainShiftTw = 650;
constexpr int kButtonPointSize = 10;
// Masked entry of "##:##:## ??": digits, then two letters made upper case.
const QString kQtTimeMask = QStringLiteral("99:99:99 >AA;_");

void setStartCaption(QPushButton* cmdStart, const QString& caption) {
    QFont font = cmdStart->font();
    font.setPointSize(kButtonPointSize);
    cmdStart->setFont(font);
    cmdStart->setText(caption);
}

} // namespace

frmLogger::frmLogger(LoggerContext context, Services services)
    : main_(std::move(context)), services_(std::move(services)) {
    setObjectName("frmLogger");
    buildControls();
    buildMenus();
    connectHandlers();
    connect(&main_.run, &LoggingRun::RowSaved, this, &frmLogger::ShowSampleCount);
    connect(&main_.run, &LoggingRun::Failed, this, &frmLogger::RecordingFailed);
}

void frmLogger::buildControls() {
    auto* client = new QWidget(this);
    setCentralWidget(client);
    txtFilePath = MakeEdit(client, "txtFilePath", {10, 8, 330, 22},
                           "Logging File, Defaults to 'Test.qmx' in Application Folder");
    cmdBrowse = MakeButton(client, "cmdBrowse", "Browse", {345, 7, 70, 24},
                           "Select .qmx  File for Logging");
    MakeLabel(client, "Label1", "Logging Period (.5-60 seconds)    :", {10, 37, 215, 20});
    txtSampInt = MakeEdit(client, "txtSampInt", {228, 36, 50, 22},
                          "Log Sample Rate, 1/2 Second Minimum, 1 Minute Maximum");
    MakeLabel(client, "Label2", "seconds", {283, 37, 60, 20});
    MakeLabel(client, "Label3", "Comment:", {10, 65, 65, 20});
    txtComment = MakeEdit(client, "txtComment", {75, 64, 340, 22});
    optManual = new QRadioButton("Manual", client);
    optManual->setObjectName("optManual");
    optManual->setGeometry(10, 93, 80, 20);
    optManual->setToolTip("Start and Stop Logging Manually");
    optTimer = new QRadioButton("Timed", client);
    optTimer->setObjectName("optTimer");
    optTimer->setGeometry(95, 93, 80, 20);
    optTimer->setToolTip("Setup Times to Start and Stop Logging");
    Label6 = MakeLabel(client, "Label6", "Start:", {10, 119, 40, 20});
    mskStartTime = MakeEdit(client, "mskStartTime", {50, 118, 95, 22});
    Label7 = MakeLabel(client, "Label7", "Stop:", {155, 119, 40, 20});
    mskEndTime = MakeEdit(client, "mskEndTime", {195, 118, 95, 22});
    Label9 = MakeLabel(client, "Label9", "Real:", {10, 145, 40, 20});
    lblRealTime = MakeLabel(client, "lblRealTime", QString(), {50, 145, 95, 20});
    Label10 = MakeLabel(client, "Label10", "Samples", {295, 145, 55, 20});
    lblSampCount = MakeLabel(client, "lblSampCount", QString(), {350, 145, 65, 20});
    Label5 = MakeLabel(client, "Label5", kIdleStatus, {10, 170, 405, 20});
    Label5->setAlignment(Qt::AlignCenter);
    cmdStart = MakeButton(client, "cmdStart", "Start Logging", {10, 196, 160, 30},
                          "Begin Logging Manually");
    cmdStop = MakeButton(client, "cmdStop", "Stop Logging", {180, 196, 130, 30},
                         "Stop Manual or Timed Logging");
    cmdReturn = MakeButton(client, "cmdReturn", "&Return", {320, 196, 95, 30},
                           "Close Logger Window and Return to the Main Window");
    for (QLineEdit* box : {mskStartTime, mskEndTime}) {
        box->setInputMask(kQtTimeMask);
        box->installEventFilter(this);
    }
    txtSampInt->installEventFilter(this);
    buildChartControls(client);
}

void frmLogger::buildChartControls(QWidget* client) {
    constexpr int kTop = 26;
    constexpr int kHeight = 196;
    constexpr int kLabelHeight = 14;
    picGraph = new PictureBox(client);
    picGraph->setObjectName("picGraph");
    picGraph->setGeometry(490, kTop, 240, kHeight);
    int quarter = 0; // the scale labels stand beside the grid's quarters
    for (auto [label, name] : {std::pair{&lblMax, "lblMax"},
                               {&lblMidHigh, "lblMidHigh"},
                               {&lblMid, "lblMid"},
                               {&lblMidLow, "lblMidLow"},
                               {&lblMin, "lblMin"}}) {
        const int y = kTop + quarter++ * (kHeight - 1) / 4 - kLabelHeight / 2;
        *label = MakeLabel(client, name, QString(), {425, y, 60, kLabelHeight});
        (*label)->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    lblType = MakeLabel(client, "lblType", QString(), {490, 6, 240, 18});
    lblType->setAlignment(Qt::AlignCenter);
    lblRescale = MakeLabel(client, "lblRescale", "RESCALE", {490, kTop + kHeight + 4, 240, 18});
    lblRescale->setAlignment(Qt::AlignCenter);
    lblRescale->hide();
    chart_ = std::make_unique<ChartView>(
        picGraph, std::array{lblMax, lblMidHigh, lblMid, lblMidLow, lblMin}, lblType);
}

frmLogger::~frmLogger() = default;

void frmLogger::DrawChartTrace() {
    chart_->DrawTrace(main_.chart);
}

void frmLogger::buildMenus() {
    QMenu* file = menuBar()->addMenu("&File");
    file->setObjectName("mnuFile");
    mnuReturn = file->addAction("&Return");
    mnuReturn->setObjectName("mnuReturn");
    QMenu* help = menuBar()->addMenu("&Help");
    help->setObjectName("mnuHelp");
    mnuContents = help->addAction("Contents");
    mnuContents->setObjectName("mnuContents");
    mnuAbout = help->addAction("About");
    mnuAbout->setObjectName("mnuAbout");
}

void frmLogger::connectHandlers() {
    connect(&tmrRealTime, &QTimer::timeout, this, &frmLogger::tmrRealTime_Timer);
    connect(cmdStart, &QPushButton::clicked, this, &frmLogger::cmdStart_Click);
    connect(cmdStop, &QPushButton::clicked, this, &frmLogger::cmdStop_Click);
    connect(cmdReturn, &QPushButton::clicked, this, &frmLogger::cmdReturn_Click);
    connect(mnuReturn, &QAction::triggered, this, &frmLogger::cmdReturn_Click);
    connect(cmdBrowse, &QPushButton::clicked, this, &frmLogger::cmdBrowse_Click);
    connect(optManual, &QRadioButton::clicked, this, &frmLogger::optManual_Click);
    connect(optTimer, &QRadioButton::clicked, this, &frmLogger::optTimer_Click);
    connect(txtComment, &QLineEdit::textChanged, this, &frmLogger::txtComment_Change);
    connect(txtFilePath, &QLineEdit::textEdited, this,
            [this](const QString& path) { main_.run.LogFilePath = path; });
    connect(mnuContents, &QAction::triggered, this, &frmLogger::mnuContents_Click);
    connect(mnuAbout, &QAction::triggered, this, &frmLogger::mnuAbout_Click);
}

void frmLogger::Form_Load() {
    place();
    setWindowTitle(kTitle);
    optManual->setChecked(true);
    main_.run.LogFilePath = ProgramSettings().ReadLogFilePath(services_.programFolder);
    txtFilePath->setText(main_.run.LogFilePath);
    txtSampInt->setText(RunControl::IntervalText(main_.run.LogIntervalMs));
    SetBackColorAndEnabled(cmdStart, VbColor::kGreen, true);
    SetBackColorAndEnabled(cmdStop, VbColor::kButtonFace, false);
    for (QLabel* blue : {lblSampCount, lblRealTime, Label9, Label10, lblRescale}) {
        SetForeColor(blue, VbColor::kBlue);
    }
    Label10->hide();
    lblSampCount->hide();
    showTimeControls(false);
    picGraph->SetBackColor(ColorFromVb(main_.colors.Background));
    chart_->DrawChartScale(main_.chart, main_.reading.ReadingMode, main_.reading.ReadingUnits);
    main_.chart.ChartRescalePending = false;
    StatusBlink = false;
    tmrRealTime.setInterval(kRealTimeTick);
    tmrRealTime.start();
    show();
    txtSampInt->setFocus();
}

// Above the main window on a large screen (which moves down to make room), else near
// the top of the screen; as wide as the main window. Sizes and places are those of the
// frames, so that the two windows touch.
void frmLogger::place() {
    const QRect mainFrame = main_.mainWindow.frameGeometry();
    const int height = TwipsToPx(kHeightTw);
    const int shift = TwipsToPx(kMainShiftTw);
    int top = shift;
    if (main_.screenWidthPx > 1024) {
        top = mainFrame.y() - height + shift;
        main_.mainWindow.move(mainFrame.x(), mainFrame.y() + shift);
        movedMain_ = true;
    }
    OuterSize::Set(this, {mainFrame.width(), height});
    move(mainFrame.x(), top);
}

void frmLogger::showTimeControls(bool shown) {
    for (QWidget* w : std::initializer_list<QWidget*>{Label6, Label7, Label9, mskStartTime,
                                                      mskEndTime, lblRealTime}) {
        w->setVisible(shown);
    }
}

void frmLogger::emptyTimeBoxes() {
    mskStartTime->clear();
    mskEndTime->clear();
}

void frmLogger::readyToStart() {
    SetBackColorAndEnabled(cmdStart, VbColor::kGreen, true);
    cmdStop->setEnabled(true);
    showTimeControls(false);
    emptyTimeBoxes();
}

void frmLogger::cmdStart_Click() {
    tmrRealTime.start();
    main_.run.DbCreateFailed = false;
    main_.run.LoggingActive = true;
    main_.run.SampleCount = 0;
    // While the creation's box may be open, the run has not started.
    creating_ = true;
    main_.run.DbCreateFailed =
        !CreateLogDatabase(main_.run.LogFilePath, services_.dialogs, main_.endProgram);
    creating_ = false;
    if (main_.run.DbCreateFailed) {
        tmrRealTime.stop();
        main_.run.LoggingActive = false;
        return;
    }
    cmdReturn->setEnabled(false);
    cmdBrowse->setEnabled(false);
    if (!main_.run.Open(services_.clock.Today(), txtComment->text())) {
        return;
    }
    // The interval as leaving its field makes it, even while the field has the focus.
    txtSampInt_LostFocus();
    main_.run.Start();
    SetBackColorAndEnabled(cmdStop, VbColor::kRed, true);
    SetBackColorAndEnabled(cmdStart, VbColor::kButtonFace, false);
    Label10->show();
    lblSampCount->show();
    main_.run.GetRowofData();
    ShowSampleCount();
}

void frmLogger::cmdStop_Click() {
    main_.run.Stop();
    SetForeColor(Label5, VbColor::kBlack);
    Label5->setText("Sampling Control:");
    mskStartTime->setEnabled(true);
    mskEndTime->setEnabled(true);
    cmdReturn->setEnabled(true);
    // Browse comes back too, so that the next run can be given its new file.
    cmdBrowse->setEnabled(true);
    setStartCaption(cmdStart, "Start Logging");
    SetBackColorAndEnabled(cmdStart, VbColor::kGreen, true);
    SetBackColorAndEnabled(cmdStop, VbColor::kButtonFace, false);
    Label10->hide();
    lblSampCount->hide();
}

void frmLogger::ShowSampleCount() {
    lblSampCount->setText(QString::number(main_.run.SampleCount));
}

void frmLogger::RecordingFailed(const QString& message) {
    cmdStop_Click();
    services_.dialogs.MsgBox(message, Dialogs::Buttons::Ok, "Logging Error!");
}

void frmLogger::tmrRealTime_Timer() {
    const QString& clock = main_.reading.ClockText;
    lblRealTime->setText(clock);
    StatusBlink = !StatusBlink;
    if (optTimer->isChecked()) {
        timedStartStop();
    }
    if (main_.run.LoggingActive && !creating_) {
        SetForeColor(Label5, VbColor::kRed);
        Label5->setText(StatusBlink ? "Sampling in Progress!" : QString());
    } else {
        SetForeColor(Label5, VbColor::kBlack);
        Label5->setText(kIdleStatus);
    }
    chartTick();
    previousClock_ = clock;
}

void frmLogger::timedStartStop() {
    const QString clock = main_.reading.ClockText;
    const QString start = mskStartTime->text();
    const QString stop = mskEndTime->text();
    const bool differ = start != stop;
    if (differ && RunControl::IsTimeOfDay(start) && RunControl::IsTimeOfDay(stop) &&
        !main_.run.LoggingActive) {
        setStartCaption(cmdStart, "Timed Start Pending!");
        SetBackColorAndEnabled(cmdStart, VbColor::kGreen, true);
    } else {
        cmdStart->setEnabled(false);
    }
    if (differ && RunControl::TimeReached(start, previousClock_, clock) &&
        !main_.run.LoggingActive) {
        cmdStart_Click();
        mskStartTime->setEnabled(false);
        mskEndTime->setEnabled(false);
        cmdStart->setText("In Progress!");
        SetBackColorAndEnabled(cmdStart, VbColor::kButtonFace, false);
    } else if (RunControl::TimeReached(stop, previousClock_, clock) && main_.run.LoggingActive) {
        SetBackColorAndEnabled(cmdStop, VbColor::kRed, true);
        cmdStop_Click();
        optManual->setChecked(true);
        optManual_Click();
        SetBackColorAndEnabled(cmdStop, VbColor::kButtonFace, false);
        services_.dialogs.MsgBox(
            RunControl::CompletionText(main_.run.LogFilePath, main_.run.SampleCount),
            Dialogs::Buttons::Ok, RunControl::kCompletionTitle);
    }
}

void frmLogger::chartTick() {
    const QString type = main_.reading.ReadingMode + " " + main_.reading.ReadingUnits;
    if (lblType->text() != type) {
        lblType->setText(type);
        main_.chart.ClearChartBuffer();
        main_.chart.ChartRescalePending = true;
    }
    if (main_.chart.ChartRescalePending) {
        chart_->DrawChartScale(main_.chart, main_.reading.ReadingMode, main_.reading.ReadingUnits);
        lblRescale->show();
        main_.chart.ChartRescalePending = false;
    } else {
        lblRescale->hide();
    }
}

void frmLogger::optManual_Click() {
    readyToStart();
    tmrRealTime.stop();
}

void frmLogger::optTimer_Click() {
    tmrRealTime.start();
    if (QFileInfo::exists(main_.run.LogFilePath)) {
        services_.dialogs.MsgBox(RunControl::FileExistsText(main_.run.LogFilePath),
                                 Dialogs::Buttons::Ok, RunControl::kFileExistsTitle);
        optManual->setChecked(true);
        optManual_Click();
        readyToStart();
        return;
    }
    SetBackColorAndEnabled(cmdStart, VbColor::kButtonFace, false);
    cmdStop->setEnabled(false);
    showTimeControls(true);
    const QString now = ReadingModel::FormatClockText(services_.clock.Now());
    mskStartTime->setText(now);
    mskEndTime->setText(now);
    lblRealTime->setText(main_.reading.ClockText);
}

void frmLogger::txtSampInt_LostFocus() {
    txtSampInt->setText(RunControl::CorrectedInterval(txtSampInt->text()));
    main_.run.LogIntervalMs = RunControl::IntervalMs(txtSampInt->text());
}

void frmLogger::txtComment_Change() {
    if (txtComment->text().size() >= RunControl::kCommentLimit) {
        txtComment->setText(txtComment->text().left(RunControl::kCommentLimit - 1));
        services_.dialogs.MsgBox(RunControl::kCommentTooLong, Dialogs::Buttons::Ok, QString());
    }
}

void frmLogger::cmdBrowse_Click() {
    Dialogs::OpenFileRequest request;
    request.Title = "Select Data File....";
    request.DefaultExt = "qmx";
    request.Filter = "QMX|*.qmx|MDB|*.mdb";
    request.InitialDir = main_.run.LogFilePath;
    request.NewFile = true;
    if (const auto chosen = services_.dialogs.OpenFile(request)) {
        main_.run.LogFilePath = *chosen;
        txtFilePath->setText(*chosen);
    }
    unsetCursor();
}

void frmLogger::mnuAbout_Click() {
    services_.dialogs.MsgBox(HelpTexts::LoggerAbout(main_.programVersion), Dialogs::Buttons::Ok,
                             HelpTexts::kLoggerAboutTitle);
}

void frmLogger::mnuContents_Click() {
    services_.dialogs.MsgBox(HelpTexts::LoggerHelp(main_.programVersion), Dialogs::Buttons::Ok,
                             HelpTexts::kLoggerHelpTitle);
}

bool frmLogger::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtSampInt) {
        if (event->type() == QEvent::FocusIn) {
            txtSampInt->selectAll();
        } else if (event->type() == QEvent::FocusOut) {
            txtSampInt_LostFocus();
        } else if (event->type() == QEvent::KeyPress &&
                   (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Return ||
                    static_cast<QKeyEvent*>(event)->key() == Qt::Key_Enter)) {
            txtComment->setFocus();
            return true;
        }
    } else if (auto* box = qobject_cast<QLineEdit*>(watched)) {
        timeBoxEvent(box, event);
    }
    return QMainWindow::eventFilter(watched, event);
}

// Each entry of a clock time starts from an empty box: the user's click or Tab into it,
// not the focus coming back with the window or after a dialog. Typing into an empty box
// fills it from its first place, wherever it was clicked.
void frmLogger::timeBoxEvent(QLineEdit* box, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::MouseFocusReason || reason == Qt::TabFocusReason ||
            reason == Qt::BacktabFocusReason) {
            box->clear();
        }
    } else if (event->type() == QEvent::KeyPress) {
        const QString typed = box->text();
        if (std::none_of(typed.begin(), typed.end(),
                         [](QChar c) { return c.isLetterOrNumber(); })) {
            box->setCursorPosition(0);
        }
    }
}

void frmLogger::Abandon() {
    abandoned_ = true;
    close();
}

// Return, File Return or the close box. A run still recording is stopped first.
void frmLogger::closeEvent(QCloseEvent* event) {
    if (!abandoned_) {
        if (main_.run.LoggingActive) {
            cmdStop_Click();
        }
        if (movedMain_) {
            main_.mainWindow.move(main_.mainWindow.x(),
                                  main_.mainWindow.y() - TwipsToPx(kMainShiftTw));
        }
        ProgramSettings().WriteLogFolder(txtFilePath->text());
    }
    tmrRealTime.stop();
    // Rows that fail after the window closed are no longer its to report.
    disconnect(&main_.run, nullptr, this, nullptr);
    event->accept();
    emit Closed();
}

} // namespace qmx
