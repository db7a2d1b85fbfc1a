#include "display/frmmain.h"

#include "grapher/frmgrapher.h"
#include "help/helptexts.h"
#include "logging/frmlogger.h"
#include "logging/logmessages.h"
#include "logging/logwriter.h"
#include "logging/samplerow.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/programsettings.h"
#include "platform/soundplayer.h"
#include "ui/controls.h"
#include "ui/fittext.h"
#include "ui/outersize.h"
#include "ui/twips.h"
#include "ui/widgetcolors.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>

namespace qmx {

namespace {

constexpr std::chrono::milliseconds kDisplayTick{250};
constexpr int kWindowWidthTw = 11400;
constexpr int kWindowHeightTw = 4150;
constexpr int kDbuViewGrowthTw = 1650;
constexpr int kButtonRowTopTw = 2500;
constexpr int kButtonWidthTw = 1450;
constexpr int kButtonHeightTw = 495;
constexpr int kReadingLeftTw = 400;
constexpr int kReadingWidthTw = 10455;
constexpr int kReadingHeightTw = 1650;

const QString kButtonFont = QStringLiteral("Times New Roman");

QRect twipsRect(int left, int top, int width, int height) {
    return {TwipsToPx(left), TwipsToPx(top), TwipsToPx(width), std::max(1, TwipsToPx(height))};
}

QPushButton* makeRowButton(QWidget* parent, const char* name, const QString& caption, int leftTw,
                           const QString& tip) {
    QPushButton* b =
        MakeButton(parent, name, caption,
                   twipsRect(leftTw, kButtonRowTopTw, kButtonWidthTw, kButtonHeightTw), tip);
    b->setFont(QFont(kButtonFont, 10));
    return b;
}

QAction* makeAction(QMenu* menu, const char* name, const QString& caption, bool checkable) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(name);
    a->setCheckable(checkable);
    return a;
}

} // namespace

namespace {

bool isPlayableFile(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() && info.isReadable();
}

} // namespace

frmMain::frmMain(Services services, QWidget* parent)
    : QMainWindow(parent), Link(PortMap{}), Alarms(services.sound, isPlayableFile),
      Run(Reading, [this] { return services_.clock.Now(); }), services_(std::move(services)) {
    setObjectName("frmMain");
    buildControls();
    buildMenus();
    connectHandlers();
}

// The windows still open go with this one, without their closing steps.
frmMain::~frmMain() {
    Logger.reset();
    Grapher.reset();
}

void frmMain::buildControls() {
    auto* client = new QWidget(this);
    setCentralWidget(client);

    Line1 = new QFrame(client);
    Line1->setObjectName("Line1");
    Line1->setFrameShape(QFrame::NoFrame);
    Line1->setAutoFillBackground(true);
    SetBackColor(Line1, VbColor::kWhite);

    Label1 = MakeLabel(client, "Label1", QString(),
                       twipsRect(kReadingLeftTw, 300, kReadingWidthTw, kReadingHeightTw));
    Label1->setAlignment(Qt::AlignCenter);
    Label2 =
        MakeLabel(client, "Label2", QString(), twipsRect(kReadingLeftTw, 2050, kReadingWidthTw, 1));
    Label2->setAlignment(Qt::AlignCenter);
    Label2->hide();

    cmdLogger = makeRowButton(client, "cmdLogger", "&Logger", 400,
                              "Start Logging Data to the Screen or to a File, Analyze Logged Data");
    cmdDB =
        makeRowButton(client, "cmdDB", "AC-V in &dBu", 2900,
                      "Toggle Conversion of AC Volts/Millivolts to dBu (or dBm if measuring in a "
                      "600 Ohm load)");
    cmdAlarms = makeRowButton(client, "cmdAlarms", "&Alarms", 6900, QString());
    cmdQuit = makeRowButton(client, "cmdQuit", "&Quit", 9400, "Exit the Program");
    Panel = new AlarmPanel(client, cmdAlarms, Alarms, [this] { return Reading.CurrentValue; });
    buttonRow_ = {cmdDB, cmdAlarms, cmdLogger};
    for (QWidget* control : Panel->Controls()) {
        buttonRow_.push_back(control);
    }
}

void frmMain::buildMenus() {
    QMenu* file = menuBar()->addMenu("&File");
    file->setObjectName("mnuFile");
    mnuLogger = makeAction(file, "mnuLogger", "Logger", false);
    mnuOpen = makeAction(file, "mnuOpen", "&Open and Graph Logged Data", false);
    mnuExit = makeAction(file, "mnuExit", "Exit", false);

    QMenu* edit = menuBar()->addMenu("&Edit");
    edit->setObjectName("Edit");
    QMenu* comm = edit->addMenu("&RS-232");
    comm->setObjectName("mnuComm");
    comm->setToolTipsVisible(true);
    for (int n = 1; n <= PortMap::kPorts; ++n) {
        mnuCom[n - 1] = makeAction(comm, "", QString("Com%1").arg(n), true);
        mnuCom[n - 1]->setObjectName(QString("mnuCom%1").arg(n));
    }
    mnuFont = makeAction(edit, "mnuFont", "Font", false);
    QMenu* color = edit->addMenu("&Colors");
    color->setObjectName("mnuColor");
    QMenu* background = color->addMenu("Background");
    background->setObjectName("mnuBackground");
    mnuBGBlack = makeAction(background, "mnuBGBlack", "Black", true);
    mnuBGWhite = makeAction(background, "mnuBGWhite", "White", true);
    QMenu* foreground = color->addMenu("Foreground");
    foreground->setObjectName("mnuForeground");
    mnuFGBlack = makeAction(foreground, "mnuFGBlack", "Black", true);
    mnuFGWhite = makeAction(foreground, "mnuFGWhite", "White", true);
    mnuRed = makeAction(foreground, "mnuRed", "Red", true);
    mnuGreen = makeAction(foreground, "mnuGreen", "Green", true);
    mnuBlue = makeAction(foreground, "mnuBlue", "Blue", true);
    mnuYellow = makeAction(foreground, "mnuYellow", "Yellow", true);
    mnuAlarm = makeAction(edit, "mnuAlarm", "&Alarm Sound", false);

    QMenu* help = menuBar()->addMenu("&Help");
    help->setObjectName("mnuHelp");
    mnuContents = makeAction(help, "mnuContents", "Contents", false);
    mnuAbout = makeAction(help, "mnuAbout", "About", false);

    for (QAction* port : mnuCom) {
        port->setEnabled(false);
    }
}

void frmMain::connectHandlers() {
    connect(&tmrDispUpdate, &QTimer::timeout, this, &frmMain::tmrDispUpdate_Timer);
    connect(&Link, &MeterLink::LineCompleted, this, &frmMain::markLinkTalking);
    connect(cmdDB, &QPushButton::clicked, this, &frmMain::cmdDB_Click);
    connect(cmdQuit, &QPushButton::clicked, this, &frmMain::cmdQuit_Click);
    connect(mnuExit, &QAction::triggered, this, &frmMain::mnuExit_Click);
    connect(cmdLogger, &QPushButton::clicked, this, &frmMain::cmdLogger_Click);
    connect(mnuLogger, &QAction::triggered, this, &frmMain::mnuLogger_Click);
    connect(mnuOpen, &QAction::triggered, this, &frmMain::mnuOpen_Click);
    for (int n = 1; n <= PortMap::kPorts; ++n) {
        connect(mnuCom[n - 1], &QAction::triggered, this, [this, n] { mnuCom_Click(n); });
    }
    connect(mnuFont, &QAction::triggered, this, &frmMain::mnuFont_Click);
    connect(mnuAlarm, &QAction::triggered, this, &frmMain::mnuAlarm_Click);
    connect(mnuBGBlack, &QAction::triggered, this, &frmMain::mnuBGBlack_Click);
    connect(mnuBGWhite, &QAction::triggered, this, &frmMain::mnuBGWhite_Click);
    connect(mnuFGBlack, &QAction::triggered, this, &frmMain::mnuFGBlack_Click);
    connect(mnuFGWhite, &QAction::triggered, this, &frmMain::mnuFGWhite_Click);
    connect(mnuRed, &QAction::triggered, this, &frmMain::mnuRed_Click);
    connect(mnuGreen, &QAction::triggered, this, &frmMain::mnuGreen_Click);
    connect(mnuBlue, &QAction::triggered, this, &frmMain::mnuBlue_Click);
    connect(mnuYellow, &QAction::triggered, this, &frmMain::mnuYellow_Click);
    connect(mnuContents, &QAction::triggered, this, &frmMain::mnuContents_Click);
    connect(mnuAbout, &QAction::triggered, this, &frmMain::mnuAbout_Click);
}

bool frmMain::Form_Load() {
    ProgramVersion = QStringLiteral(QMX_VERSION).toFloat();
    // The size is the window's outer size, and it is centred by its frame.
    const QSize outer(TwipsToPx(kWindowWidthTw), TwipsToPx(kWindowHeightTw));
    OuterSize::Set(this, outer);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    move((screen.width() - outer.width()) / 2, (screen.height() - outer.height()) / 2);
    ScreenWidthPx = qint16(screen.width());
    ScreenHeightPx = qint16(screen.height());
    Reading.ClockText = ReadingModel::FormatStartupClockText(services_.clock.Now());
    LoggingActive = false;
    Chart.ChartRescalePending = false;
    Chart.ChartPeak = 0.0f;
    if (const QString problem = settings_.Problem(); !problem.isEmpty()) {
        services_.dialogs.MsgBox(problem, Dialogs::Buttons::Ok, "Settings Not Used");
    }

    Colors.Background = settings_.ReadBackground();
    Line1->setGeometry(0, TwipsToPx(15), width(), 1);
    Colors.Foreground = settings_.ReadForeground();
    applyColors();

    PortMap ports;
    ports.Load(settings_);
    ports.AssignFree(PortMap::SystemCandidates());
    Link.SetPorts(ports);
    Link.CommPort = settings_.ReadCommPort();
    markPortMenu();
    const auto free = Link.ProbePorts();
    for (int n = 1; n <= PortMap::kPorts; ++n) {
        mnuCom[n - 1]->setEnabled(free[n - 1]);
        mnuCom[n - 1]->setToolTip(ports.Device(n));
        mnuCom[n - 1]->setStatusTip(ports.Device(n));
    }

    if (const auto failure = Link.OpenConfiguredPort()) {
        startupFailure(*failure);
        return false;
    }

    tmrDispUpdate.setInterval(kDisplayTick);
    LogIntervalMs = 1000;
    tmrLogClock.setInterval(LogIntervalMs);
    tmrLogClock.stop();
    placeControls();
    tmrDispUpdate.start();
    setWindowTitle(kTitle);
    const auto alarmSound = settings_.ReadAlarmWav(services_.programFolder);
    AlarmWavPath = alarmSound.Path;
    alarmWavChosen_ = alarmSound.Chosen;
    LogFilePath = settings_.ReadLogFilePath(services_.programFolder);
    Chart.ClearChartBuffer();
    Colors.NoSameFGBG();
    applyColors();
    loaded_ = true;
    return true;
}

void frmMain::placeControls() {
    FontFace = settings_.ReadFont();
    for (QLabel* label : {Label1, Label2}) {
        label->setFont(QFont(FontFace, ReadingModel::kNormalPointSize));
        label->clear();
    }
    Label1->show();
    Label2->hide();
    cmdQuit->setEnabled(true);
    cmdDB->setText("AC-V in &dBu");
    SetBackColorAndEnabled(cmdDB, VbColor::kButtonFace, false);
    cmdAlarms->setEnabled(true);
    Panel->Show();
    SetBackColorAndEnabled(cmdLogger, VbColor::kButtonFace, false);
}

void frmMain::tmrDispUpdate_Timer() {
    Reading.ClockText = ReadingModel::FormatClockText(services_.clock.Now());
    Link.SendPoll();
    const int pointSize = ReadingModel::PointSizeFor(Link.LastLine);

    const MeterReading reading = Reading.Take(Link.LastLine);
    Label1->setText(Reading.ShownLine);
    FitFontToWidth(Label1, pointSize);
    showDbuPart(reading.IsAcVolts);

    alarmModeChangeReset(reading.ModePrefix);
    Reading.PrevModePrefix = reading.ModePrefix;
    Chart.FollowType(Reading.ReadingMode + " " + Reading.ReadingUnits);
    ResetMaxMin();
    alarmThresholdTests();
    Chart.Store(Reading.CurrentValue);
    mnuOpen->setEnabled(!LoggerOpen);
    if (LoggerOpen) {
        redrawChartTrace();
    }
    if (Chart.Advance()) {
        ResetMaxMin();
    }

    if (Link.CountSilentTick()) {
        SetBackColorAndEnabled(cmdLogger, VbColor::kButtonFace, false);
    }
    alarmBlink();
    Run.StoreWaiting();
}

void frmMain::alarmModeChangeReset(const QString& modePrefix) {
    Alarms.ModeChangeReset(modePrefix, Reading.PrevModePrefix);
    Panel->Show();
}

void frmMain::alarmThresholdTests() {
    Alarms.ThresholdTests(Reading.CurrentValue, AlarmWavPath);
    Panel->Show();
}

void frmMain::alarmBlink() {
    Alarms.Blink();
    Panel->Show();
}

void frmMain::ResetMaxMin() {
    Chart.ResetMaxMin();
}

void frmMain::redrawChartTrace() {
    if (Logger != nullptr) {
        Logger->DrawChartTrace();
    }
}

void frmMain::showDbuPart(bool acVolts) {
    if (acVolts) {
        Label2->setText(Reading.DbuText);
        SetBackColorAndEnabled(cmdDB, VbColor::kLightBlue, true);
        return;
    }
    SetBackColorAndEnabled(cmdDB, VbColor::kButtonFace, false);
    Label2->setText(Reading.DbuText);
    if (DbuViewShown) {
        LeaveDbuView();
    }
}

void frmMain::markLinkTalking() {
    SetBackColorAndEnabled(cmdLogger, VbColor::kGreen, true);
}

void frmMain::cmdDB_Click() {
    if (cmdDB->text() == u"AC-V in &dBu") {
        EnterDbuView();
        cmdDB->setText("AC Volts Only!");
    } else if (cmdDB->text() == u"AC Volts Only!") {
        LeaveDbuView();
        cmdDB->setText("AC-V in &dBu");
    }
}

void frmMain::moveButtonRow(int dy) {
    for (QWidget* w : buttonRow_) {
        w->move(w->x(), w->y() + dy);
    }
}

void frmMain::EnterDbuView() {
    const int dy = TwipsToPx(kDbuViewGrowthTw);
    OuterSize::Set(this, {TwipsToPx(kWindowWidthTw), TwipsToPx(kWindowHeightTw) + dy});
    cmdQuit->move(cmdQuit->x(), cmdQuit->y() + dy);
    moveButtonRow(dy);
    Label2->setGeometry(Label2->x(), Label2->y(), TwipsToPx(kReadingWidthTw),
                        TwipsToPx(kReadingHeightTw));
    QFont font = Label2->font();
    font.setPointSize(ReadingModel::kNormalPointSize);
    Label2->setFont(font);
    Label2->show();
    DbuViewShown = true;
}

void frmMain::LeaveDbuView() {
    const int dy = TwipsToPx(kDbuViewGrowthTw);
    OuterSize::Set(this, {TwipsToPx(kWindowWidthTw), TwipsToPx(kWindowHeightTw)});
    cmdQuit->move(cmdQuit->x(), cmdQuit->y() - dy);
    cmdDB->setText("AC-V in &dBu");
    moveButtonRow(-dy);
    Label2->setGeometry(Label2->x(), Label2->y(), TwipsToPx(kReadingWidthTw), 1);
    QFont font = Label2->font();
    font.setPointSize(ReadingModel::kNormalPointSize);
    Label2->setFont(font);
    Label2->hide();
    DbuViewShown = false;
}

void frmMain::setBackground(qint32 color) {
    Colors.SetBackground(color);
    applyColors();
}

void frmMain::setForeground(qint32 color) {
    Colors.SetForeground(color);
    applyColors();
}

// Shows the colours on both display labels and the menu check marks and states.
void frmMain::applyColors() {
    for (QLabel* label : {Label1, Label2}) {
        label->setAutoFillBackground(true);
        SetBackColor(label, Colors.Background);
        SetForeColor(label, Colors.Foreground);
    }
    mnuBGBlack->setChecked(Colors.Background == VbColor::kBlack);
    mnuBGWhite->setChecked(Colors.Background == VbColor::kWhite);
    const std::pair<QAction*, qint32> fg[] = {
        {mnuFGBlack, VbColor::kBlack}, {mnuFGWhite, VbColor::kWhite},
        {mnuRed, VbColor::kRed},       {mnuGreen, VbColor::kGreen},
        {mnuBlue, VbColor::kBlue},     {mnuYellow, VbColor::kYellow}};
    for (const auto& [item, value] : fg) {
        item->setChecked(Colors.Foreground == value);
    }
    mnuFGWhite->setEnabled(Colors.FgWhiteEnabled);
    mnuFGBlack->setEnabled(Colors.FgBlackEnabled);
}

void frmMain::markPortMenu() {
    for (int n = 1; n <= PortMap::kPorts; ++n) {
        mnuCom[n - 1]->setChecked(n == Link.CommPort);
    }
}

void frmMain::mnuCom_Click(int n) {
    const auto failure = Link.SelectPort(n);
    markPortMenu();
    if (failure) {
        services_.dialogs.MsgBox(SelectPortFailureText(*failure), Dialogs::Buttons::Ok,
                                 kSelectPortFailureTitle);
    }
}

void frmMain::mnuFont_Click() {
    const auto face = services_.dialogs.ChooseFont(FontFace);
    if (!face) {
        return;
    }
    FontFace = *face;
    for (QLabel* label : {Label1, Label2}) {
        label->setFont(QFont(FontFace, ReadingModel::kNormalPointSize));
    }
}

void frmMain::mnuAlarm_Click() {
    Dialogs::OpenFileRequest request;
    request.Title = "Open .WAV file for Alarm...";
    request.FileName = services_.programFolder + QDir::separator() + "*.wav";
    request.InitialDir = LogFilePath;
    request.DefaultExt = ".wav|";
    request.Filter = "WAV|*.wav";
    if (const auto chosen = services_.dialogs.OpenFile(request)) {
        AlarmWavPath = *chosen;
        alarmWavChosen_ = true;
    }
}

void frmMain::cmdLogger_Click() {
    if (Logger != nullptr) {
        return;
    }
    Logger = std::make_unique<frmLogger>(LoggerContext{*this, ScreenWidthPx, ProgramVersion, Run,
                                                       Reading, Chart, Colors,
                                                       [this] { EndProgramAtOnce(); }},
                                         services_);
    connect(Logger.get(), &frmLogger::Closed, this, [this] {
        LoggerOpen = false;
        Logger.release()->deleteLater();
    });
    Logger->Form_Load();
    LoggerOpen = true;
}

void frmMain::mnuOpen_Click() {
    Dialogs::OpenFileRequest request;
    request.Title = "Open Data File for Graphing....";
    request.DefaultExt = ".qmx|";
    request.Filter = "QMX|*.qmx|MDB|*.mdb";
    request.InitialDir = LogFilePath;
    const auto chosen = services_.dialogs.OpenFile(request);
    if (chosen) {
        OpenGraph(*chosen);
    }
}

void frmMain::OpenGraph(const QString& path) {
    GraphFilePath = path;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    if (Grapher != nullptr) {
        // The open window takes the new file and comes to the front.
        Grapher->LoadFile(GraphFilePath);
        if (Grapher != nullptr) {
            Grapher->raise();
            Grapher->activateWindow();
        }
    } else {
        Grapher = std::make_unique<frmGrapher>(*this, services_);
        connect(Grapher.get(), &frmGrapher::Closed, this,
                [this] { Grapher.release()->deleteLater(); });
        Grapher->Form_Load();
    }
    QGuiApplication::restoreOverrideCursor();
}

void frmMain::EndProgramAtOnce() {
    Ended = true;
    LoggerOpen = false;
    unloaded_ = true;
    tmrDispUpdate.stop();
    tmrLogClock.stop();
    unloadOtherWindows(true);
    hide();
    QCoreApplication::exit(0);
}

void frmMain::mnuAbout_Click() {
    services_.dialogs.MsgBox(HelpTexts::MainAbout(ProgramVersion), Dialogs::Buttons::Ok,
                             HelpTexts::kMainAboutTitle);
}

void frmMain::mnuContents_Click() {
    services_.dialogs.MsgBox(HelpTexts::MainHelp(ProgramVersion), Dialogs::Buttons::Ok,
                             HelpTexts::kMainHelpTitle);
}

void frmMain::startupFailure(const PortFailure& failure) {
    services_.dialogs.MsgBox(StartupFailureText(failure), Dialogs::Buttons::Ok,
                             kStartupFailureTitle);
    services_.sound.Stop();
    tmrDispUpdate.stop();
    unloadOtherWindows(false);
    // The settings read so far stay as stored: nothing is saved after a failed start.
    unloaded_ = true;
    close();
}

void frmMain::cmdQuit_Click() {
    close();
}

void frmMain::quitSequence() {
    services_.sound.Stop();
    tmrDispUpdate.stop();
    Link.ClosePort();
    unloadOtherWindows(false);
    Form_Unload();
}

void frmMain::unloadOtherWindows(bool abandon) {
    if (Grapher != nullptr) {
        Grapher->close();
    }
    if (Logger != nullptr) {
        if (abandon) {
            Logger->Abandon();
        } else {
            Logger->close();
        }
    }
}

void frmMain::Form_Unload() {
    settings_.WriteCommPort(Link.CommPort);
    settings_.WriteBackground(Colors.Background);
    settings_.WriteForeground(Colors.Foreground);
    settings_.WriteFont(FontFace);
    if (alarmWavChosen_) {
        settings_.WriteAlarmWav(AlarmWavPath);
    }
    Link.Ports().Save(settings_);
    services_.sound.Stop();
}

// However the window is closed (Quit, File Exit, or its frame), the whole quit runs once.
void frmMain::closeEvent(QCloseEvent* event) {
    if (!unloaded_) {
        unloaded_ = true;
        quitSequence();
    }
    event->accept();
}

} // namespace qmx
