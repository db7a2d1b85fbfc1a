#include "grapher/frmgrapher.h"

#include "display/frmmain.h"
#include "display/numberformat.h"
#include "grapher/accessexport.h"
#include "grapher/csvexport.h"
#include "grapher/exportmessages.h"
#include "grapher/graphcaptions.h"
#include "grapher/graphlayout.h"
#include "grapher/graphpicture.h"
#include "grapher/graphplot.h"
#include "grapher/logcopy.h"
#include "grapher/logdocument.h"
#include "grapher/viewstatistics.h"
#include "help/helptexts.h"
#include "logging/dberror.h"
#include "logging/runcontrol.h"
#include "platform/dialogs.h"
#include "platform/linebreak.h"
#include "platform/programsettings.h"
#include "ui/controls.h"
#include "ui/picturebox.h"
#include "ui/twips.h"
#include "ui/widgetcolors.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QStyle>
#include <QWindow>

namespace qmx {

namespace {

constexpr int kHeightTw = 9150;
constexpr int kKeyLeft = 37;
constexpr int kKeyRight = 39;
const QString kCursorTip =
    QStringLiteral("Use Mouse or Left/Right Keyboard Buttons to Move Cursor");
const QString kCommentTip =
    QStringLiteral("Shows Descriptive Comment Saved With Log, May Be Edited");
const QString kReadOnlyCommentTip =
    QStringLiteral("Shows Descriptive Comment Saved With Log; Logs in the Access Format Are "
                   "Opened Read-Only, So It Cannot Be Edited");
const QString kTriggersCommentTip =
    QStringLiteral("Shows Descriptive Comment Saved With Log; This Log Holds Triggers (Commands "
                   "a Change Would Run), So It Is Opened Read-Only and Its Comment Cannot Be "
                   "Edited");
QString loadErrorText(const DbError& error) {
    const int code = error.Code;
    const QString tail =
        "Cannot continue...." + kCrLf + kCrLf + "Press 'OK' to Exit." + kCrLf + kCrLf;
    // An empty log, and one of the database's kind that cannot be read as a log.
    if (code == DbError::kNoCurrentRow || code == DbError::kUnreadableLog) {
        return "Database is not a valid .qmx file," + kCrLf + "or may be corrupted!" + kCrLf +
               kCrLf + tail;
    }
    // A file that is no log file, or not in a log's shape: the box says which.
    const QString why = code == DbError::kNotALogFile ? error.Detail + kCrLf + kCrLf : QString();
    return "Unknown Error!" + kCrLf + kCrLf + why + tail;
}

QString readErrorText(const QString& path, const QString& detail) {
    return "The log file could not be read:" + kCrLf + path + kCrLf + kCrLf + detail + kCrLf +
           kCrLf + "Open it again once the file or its drive is back." + kCrLf + kCrLf;
}

QString numberOrNa(const std::optional<float>& v) {
    return v ? FormatGeneral(*v) : QString("NA");
}

} // namespace

frmGrapher::frmGrapher(frmMain& main, Services services)
    : main_(main), services_(std::move(services)) {
    setObjectName("frmGrapher");
    buildControls();
    buildMenus();
    connectHandlers();
}

frmGrapher::~frmGrapher() = default;

void frmGrapher::buildControls() {
    auto* client = new QWidget(this);
    setCentralWidget(client);
    auto* line = new QFrame(client);
    line->setObjectName("Line1");
    line->setGeometry(0, TwipsToPx(15), 2000, 1);
    line->setAutoFillBackground(true);
    SetBackColor(line, VbColor::kWhite);

    lblTitle = MakeLabel(client, "lblTitle", QString(), GraphLayout::kTitle, QString());
    lblTitle->setAlignment(Qt::AlignCenter);
    QFont titleFont = lblTitle->font();
    titleFont.setPointSize(12);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);
    lblFileName = MakeLabel(client, "lblFileName", "Filename:", GraphLayout::kFileName, QString());
    lblDate =
        MakeLabel(client, "lblDate", QString(), GraphLayout::kDate, "Date measurements Were Taken");
    lblDate->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    txtComment = new QLineEdit(client);
    txtComment->setObjectName("txtComment");
    txtComment->setGeometry(GraphLayout::kComment);
    txtComment->setToolTip(kCommentTip);

    picGraph = new PictureBox(client);
    picGraph->setObjectName("picGraph");
    picGraph->setGeometry(GraphLayout::kPlot);
    picGraph->setMouseTracking(true);
    picGraph->installEventFilter(this);
    int i = 0;
    for (auto [label, name] : {std::pair{&lblMax, "lblMax"},
                               {&lblMidHigh, "lblMidHigh"},
                               {&lblMid, "lblMid"},
                               {&lblMidLow, "lblMidLow"},
                               {&lblMin, "lblMin"}}) {
        *label = MakeLabel(client, name, GraphCaptions::kDesignScaleLabels[size_t(i)],
                           GraphLayout::ScaleLabel(i), kCursorTip);
        (*label)->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        ++i;
    }
    QFont timeFont = font();
    timeFont.setPixelSize(GraphLayout::kTimeHeight);
    for (size_t t = 0; t < lblTime.size(); ++t) {
        lblTime[t] = MakeLabel(client, qPrintable(QString("lblTime%1").arg(t + 1)), QString(),
                               QRect(), QString());
        lblTime[t]->setFont(timeFont);
        lblTime[t]->hide();
    }

    const int readoutTop = GraphLayout::kReadoutTop;
    MakeLabel(client, "Label3", "TimeStamp:", {10, readoutTop, 80, 20}, kCursorTip);
    lblTS = MakeLabel(client, "lblTS", QString(), {90, readoutTop, 110, 20}, kCursorTip);
    MakeLabel(client, "Label4", "Type:", {205, readoutTop, 40, 20}, kCursorTip);
    lblType = MakeLabel(client, "lblType", QString(), {245, readoutTop, 55, 20}, kCursorTip);
    MakeLabel(client, "Label5", "Units:", {305, readoutTop, 42, 20}, kCursorTip);
    lblUnits = MakeLabel(client, "lblUnits", QString(), {347, readoutTop, 60, 20}, kCursorTip);
    MakeLabel(client, "Label6", "Value:", {412, readoutTop, 45, 20}, kCursorTip);
    lblValue = MakeLabel(client, "lblValue", QString(), {457, readoutTop, 110, 20}, kCursorTip);
    MakeLabel(client, "Label7", "dBu:", {572, readoutTop, 35, 20}, kCursorTip);
    lbldBu = MakeLabel(client, "lbldBu", QString(), {607, readoutTop, 100, 20}, kCursorTip);
    MakeLabel(client, "Label8", "Max Value:", {10, readoutTop + 26, 80, 20}, kCursorTip);
    lblMaxVal =
        MakeLabel(client, "lblMaxVal", QString(), {90, readoutTop + 26, 130, 20}, kCursorTip);
    MakeLabel(client, "Label9", "Min Value:", {230, readoutTop + 26, 75, 20}, kCursorTip);
    lblMinVal =
        MakeLabel(client, "lblMinVal", QString(), {305, readoutTop + 26, 130, 20}, kCursorTip);

    const int buttonTop = readoutTop + 56;
    cmdZoom = MakeButton(client, "cmdZoom", "Zoom", {10, buttonTop, 90, 28},
                         "Show Only Values Between Cursors");
    cmdReset = MakeButton(client, "cmdReset", "Reset", {110, buttonTop, 90, 28},
                          "Show All Data in Open File");
    cmdPlusMinus = MakeButton(client, "cmdPlusMinus", "+ / -", {210, buttonTop, 90, 28},
                              "Show Positive, Negative, or All Values in Current Zoom");
    cmdReturn = MakeButton(client, "cmdReturn", "&Return", {650, buttonTop, 100, 28},
                           "Close Graph Window and Return to the Main Window");
}

void frmGrapher::buildMenus() {
    QMenu* file = menuBar()->addMenu("&File");
    file->setObjectName("File");
    const auto add = [](QMenu* menu, const char* name, const QString& caption) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(name);
        return a;
    };
    mnuCAccess = add(file, "mnuCAccess", "Convert Data to MS Access Database");
    mnuCDelimited = add(file, "mnuCDelimited", "Convert Data to Comma Delimited File");
    mnuSavePicture = add(file, "mnuSavePicture", "Save Graph as Picture...");
    cmdOpen = add(file, "cmdOpen", "&Open and Graph Logged Data");
    mnuReturn = add(file, "mnuReturn", "&Return");
    QMenu* view = menuBar()->addMenu("&View");
    view->setObjectName("mnuView");
    mnuStatistics = add(view, "mnuStatistics", "Statistics of the View...");
    QMenu* help = menuBar()->addMenu("&Help");
    help->setObjectName("mnuHelp");
    mnuContents = add(help, "mnuContents", "Contents");
    mnuAbout = add(help, "mnuAbout", "About");
}

void frmGrapher::connectHandlers() {
    connect(cmdOpen, &QAction::triggered, this, &frmGrapher::cmdOpen_Click);
    connect(mnuReturn, &QAction::triggered, this, &frmGrapher::cmdReturn_Click);
    connect(cmdReturn, &QPushButton::clicked, this, &frmGrapher::cmdReturn_Click);
    connect(cmdZoom, &QPushButton::clicked, this, &frmGrapher::cmdZoom_Click);
    connect(cmdReset, &QPushButton::clicked, this, &frmGrapher::cmdReset_Click);
    connect(cmdPlusMinus, &QPushButton::clicked, this, &frmGrapher::cmdPlusMinus_Click);
    connect(txtComment, &QLineEdit::textChanged, this, &frmGrapher::txtComment_Change);
    connect(mnuContents, &QAction::triggered, this, &frmGrapher::mnuContents_Click);
    connect(mnuCAccess, &QAction::triggered, this, &frmGrapher::mnuCAccess_Click);
    connect(mnuCDelimited, &QAction::triggered, this, &frmGrapher::mnuCDelimited_Click);
    connect(mnuAbout, &QAction::triggered, this, &frmGrapher::mnuAbout_Click);
    connect(mnuSavePicture, &QAction::triggered, this, &frmGrapher::mnuSavePicture_Click);
    connect(mnuStatistics, &QAction::triggered, this, &frmGrapher::mnuStatistics_Click);
}

bool frmGrapher::Form_Load() {
    setWindowTitle(kTitle);
    resize(main_.width(), TwipsToPx(kHeightTw));
    placeOnMainScreen();
    picGraph->SetBackColor(Qt::black);
    picGraph->Cls();
    QFont readout = lblTS->font();
    readout.setPointSize(12);
    for (QLabel* l : {lblTS, lblType, lblUnits, lblValue, lbldBu, lblMaxVal, lblMinVal}) {
        SetForeColor(l, VbColor::kBlue);
        l->setFont(readout);
    }
    QFont italic = lblFileName->font();
    italic.setItalic(true);
    lblFileName->setFont(italic);
    QFont bold = txtComment->font();
    bold.setBold(true);
    txtComment->setFont(bold);
    if (!LoadFile(main_.GraphFilePath)) {
        return false;
    }
    show();
    // The window sees every key pressed in it before its controls do.
    windowHandle()->installEventFilter(this);
    return true;
}

// Centred on the main window's screen; a window taller or wider than the screen keeps
// its top left corner on it.
void frmGrapher::placeOnMainScreen() {
    const QRect screen = main_.screen()->availableGeometry();
    const QRect centred = QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), screen);
    move(std::max(centred.left(), screen.left()), std::max(centred.top(), screen.top()));
}

bool frmGrapher::LoadFile(const QString& path) {
    try {
        log_ = std::make_unique<LogDocument>(path);
        View = GraphView{};
        View.ViewAll(log_->Count());
        lblFileName->setText(FileNameCaption(path));
        showHeader();
        clearReadout();
        // A file that is already a ".mdb" copy has nothing to convert; any other can.
        mnuCAccess->setEnabled(!path.endsWith("mdb"));
        cmdZoom->setEnabled(false);
        cmdReset->setEnabled(false);
        redraw();
    } catch (const DbError& e) {
        loadFailed(e);
        return false;
    }
    return true;
}

// The run's date and comment; the comment of a log that opens read-only cannot be edited.
void frmGrapher::showHeader() {
    lblDate->setText(LongDate(log_->Date()));
    txtComment->setText(log_->Description());
    shownComment_ = txtComment->text();
    txtComment->setReadOnly(log_->ReadOnly());
    switch (log_->WhyReadOnly()) {
    case LogDocument::ReadOnlyReason::None:
        txtComment->setToolTip(kCommentTip);
        break;
    case LogDocument::ReadOnlyReason::AccessFormat:
        txtComment->setToolTip(kReadOnlyCommentTip);
        break;
    case LogDocument::ReadOnlyReason::Triggers:
        txtComment->setToolTip(kTriggersCommentTip);
        break;
    }
}

void frmGrapher::clearReadout() {
    for (QLabel* label : {lblTS, lblType, lblUnits, lblValue, lbldBu}) {
        label->clear();
    }
}

void frmGrapher::loadFailed(const DbError& error) {
    services_.dialogs.MsgBox(loadErrorText(error), Dialogs::Buttons::Ok, kLoadErrorTitle);
    log_.reset();
    close();
}

// Clears the picture and draws the view with its scale, grid, labels and title.
void frmGrapher::redraw() {
    View.ClearForRedraw();
    picGraph->SetDrawMode(PictureBox::DrawMode::CopyPen);
    picGraph->Cls();
    drawView();
    current_ = View.LastPos() + 1; // the scan leaves the row set just past the view
}

void frmGrapher::withLog(const std::function<void()>& command) {
    if (!log_) {
        return;
    }
    try {
        command();
    } catch (const std::exception& e) {
        readFailed(QString::fromStdString(e.what()));
    }
}

void frmGrapher::readFailed(const QString& detail) {
    const QString path = log_->Path();
    log_.reset();
    View.ClearForRedraw();
    View.CursorX = 0.0f;
    picGraph->SetDrawMode(PictureBox::DrawMode::CopyPen);
    picGraph->Cls();
    hideTimes();
    clearReadout();
    for (QPushButton* b : {cmdZoom, cmdReset, cmdPlusMinus}) {
        b->setEnabled(false);
    }
    services_.dialogs.MsgBox(readErrorText(path, detail), Dialogs::Buttons::Ok, kReadErrorTitle);
}

void frmGrapher::drawView() {
    GraphScale::GetMaxMin(View, *log_);
    lblMaxVal->setText(FormatSigned(View.MaxVal));
    lblMinVal->setText(FormatSigned(View.MinVal));
    layout_ = GraphScale::DrawScale(View, View.MaxVal, View.MinVal);
    cmdPlusMinus->setEnabled(layout_.PlusMinusEnabled);
    if (layout_.HasCoordinates) {
        const std::array labels = scaleLabels();
        for (size_t i = 0; i < labels.size(); ++i) {
            labels[i]->setText(layout_.Labels[i]);
        }
    }
    GraphPlot::DrawGrid(picGraph->Canvas(), View, layout_);
    GraphPlot::PopulateGraph(picGraph->Canvas(), View, *log_);
    lblTitle->setText(View.Title());
    showTimes();
}

std::array<QLabel*, 5> frmGrapher::scaleLabels() const {
    return {lblMax, lblMidHigh, lblMid, lblMidLow, lblMin};
}

// Under the plot, at the samples' own places.
void frmGrapher::showTimes() {
    times_ = TimeAxis::Marks(View, *log_);
    const auto count = int(times_.size());
    for (int i = 0; i < int(lblTime.size()); ++i) {
        QLabel* label = lblTime[size_t(i)];
        label->setVisible(i < count);
        if (i >= count) {
            continue;
        }
        const TimeAxis::Mark& mark = times_[size_t(i)];
        label->setGeometry(
            GraphLayout::TimeLabel(i, count, picGraph->ToPixel(mark.ViewIndex, 0).x()));
        label->setAlignment(GraphLayout::TimeAlignment(i, count));
        label->setText(mark.Text);
    }
}

void frmGrapher::hideTimes() {
    times_.clear();
    for (QLabel* label : lblTime) {
        label->hide();
    }
}

void frmGrapher::showSample() {
    const LogDocument::Sample s = log_->Read(current_);
    lblTS->setText(s.TimeStamp);
    lblType->setText(s.Type);
    lblUnits->setText(s.Units);
    lblValue->setText(numberOrNa(s.Value));
    lbldBu->setText(numberOrNa(s.Dbu));
    if (View.PrevCursorX != 0.0f) {
        GraphPlot::DrawCross(picGraph->Canvas(), View, View.PrevCursorX, View.PrevCursorY);
        View.PrevCursorX = 0.0f;
    }
    if (!s.Value) {
        return; // a sample without value has no place on the graph for the cross
    }
    GraphPlot::DrawCross(picGraph->Canvas(), View, View.CursorX, *s.Value);
    View.PrevCursorX = View.CursorX;
    View.PrevCursorY = *s.Value;
}

void frmGrapher::picGraph_MouseMove(double x) {
    withLog([&] {
        current_ = GraphScale::PositionAt(View, x);
        View.CursorX = float(x);
        showSample();
    });
}

void frmGrapher::Form_KeyDown(int key) {
    withLog([&] {
        if (current_ > log_->Count() || current_ < View.FirstPos()) {
            current_ = View.LastPos();
        } else if (current_ > View.LastPos()) {
            current_ = View.FirstPos();
        }
        if (key == kKeyLeft) {
            current_ = std::max(View.FirstPos(), current_ - 1);
        } else if (key == kKeyRight) {
            current_ = std::min(View.LastPos(), current_ + 1);
        } else {
            return;
        }
        View.CursorX = float(current_ - View.FirstPos() + 1);
        showSample();
    });
}

void frmGrapher::picGraph_MouseDown(double x) {
    if (!log_) {
        return;
    }
    if (View.MarkerOld != 0.0f) {
        GraphPlot::DrawMarker(picGraph->Canvas(), View, View.MarkerOld);
    }
    View.MarkerOld = View.MarkerNew;
    View.MarkerNew = float(x);
    GraphPlot::DrawMarker(picGraph->Canvas(), View, View.MarkerNew);
    cmdZoom->setEnabled(true);
    cmdReset->setEnabled(true);
}

void frmGrapher::cmdZoom_Click() {
    withLog([&] {
        const auto [first, last] = GraphScale::ZoomRange(View);
        View.SetRange(first, last);
        redraw();
        cmdZoom->setEnabled(false);
    });
}

void frmGrapher::cmdReset_Click() {
    withLog([&] {
        View.ViewAll(log_->Count());
        View.SignFilter = GraphView::kBoth;
        redraw();
        cmdZoom->setEnabled(false);
        cmdReset->setEnabled(false);
    });
}

void frmGrapher::cmdPlusMinus_Click() {
    withLog([&] {
        GraphScale::GetMaxMin(View, *log_);
        lblMaxVal->setText(FormatSigned(View.MaxVal));
        lblMinVal->setText(FormatSigned(View.MinVal));
        View.SignFilter = GraphScale::NextSignFilter(View.SignFilter, View.MaxVal, View.MinVal);
        redraw();
        if (lblTitle->text() != GraphView::kMixed) {
            lblTitle->setText(lblTitle->text() + GraphScale::SignSuffix(View.SignFilter));
        }
        cmdZoom->setEnabled(false);
    });
}

void frmGrapher::cmdOpen_Click() {
    Dialogs::OpenFileRequest request;
    request.DefaultExt = ".qmx|";
    request.Filter = "QMX|*.qmx|MDB|*.mdb";
    request.InitialDir = main_.LogFilePath;
    const auto chosen = services_.dialogs.OpenFile(request);
    if (!chosen) {
        return;
    }
    main_.GraphFilePath = *chosen;
    LoadFile(*chosen);
}

void frmGrapher::txtComment_Change() {
    if (txtComment->text().size() > RunControl::kCommentLimit) {
        txtComment->setText(txtComment->text().left(RunControl::kCommentLimit));
    }
}

void frmGrapher::cmdReturn_Click() {
    // Only a comment the user changed is stored: the file is left as it was otherwise.
    if (log_ && !log_->ReadOnly() && txtComment->text() != shownComment_) {
        try {
            log_->SaveDescription(txtComment->text().left(RunControl::kCommentLimit));
        } catch (const DbError& e) {
            services_.dialogs.MsgBox("The comment was not saved in" + kCrLf + log_->Path() + kCrLf +
                                         kCrLf + e.Detail + kCrLf + kCrLf,
                                     Dialogs::Buttons::Ok, "Comment Not Saved!");
        }
    }
    close();
}

void frmGrapher::mnuCAccess_Click() {
    // The log is closed while it is copied.
    log_.reset();
    picGraph->SetDrawMode(PictureBox::DrawMode::CopyPen);
    picGraph->Cls();
    hideTimes();
    View.CursorX = View.PrevCursorX = View.PrevCursorY = 0.0f;
    const QString source = main_.GraphFilePath;
    try {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        const auto restoreCursor = qScopeGuard([] { QGuiApplication::restoreOverrideCursor(); });
        ExportAccessFile(source, AccessCopyName(source));
        log_ = std::make_unique<LogDocument>(source);
        showHeader();
    } catch (const DbError&) {
        services_.dialogs.MsgBox(ExportMessages::CopyFailedText(), Dialogs::Buttons::Ok,
                                 ExportMessages::kCopyFailedTitle);
        return;
    }
    // The view shown before the copy is shown again.
    const qint32 last = std::clamp(View.LastPos(), 1, log_->Count());
    View.SetRange(std::clamp(View.FirstPos(), 1, last), last);
    withLog([&] { redraw(); });
    if (!log_) {
        return;
    }
    services_.dialogs.MsgBox(ExportMessages::CopyDoneText(), Dialogs::Buttons::Ok,
                             ExportMessages::kCopyDoneTitle);
}

void frmGrapher::mnuCDelimited_Click() {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    CsvExport exporter(main_.GraphFilePath, CsvExport::TargetFor(main_.GraphFilePath));
    while (true) {
        try {
            exporter.Run();
            break;
        } catch (const DbError& e) {
            QGuiApplication::restoreOverrideCursor();
            const auto answer = services_.dialogs.MsgBox(ExportMessages::CsvErrorText(e.Code),
                                                         Dialogs::Buttons::RetryCancel,
                                                         ExportMessages::kCsvErrorTitle);
            if (answer != Dialogs::Answer::Retry) {
                exporter.Abandon();
                cmdReturn_Click();
                return;
            }
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        }
    }
    QGuiApplication::restoreOverrideCursor();
    services_.dialogs.MsgBox(ExportMessages::CsvDoneText(), Dialogs::Buttons::Ok,
                             ExportMessages::kCsvDoneTitle);
}

// The picture of what the window shows, in the format the name's extension asks for.
void frmGrapher::mnuSavePicture_Click() {
    if (!log_) {
        return;
    }
    Dialogs::OpenFileRequest request;
    request.Title = kPictureDialogTitle;
    request.Filter = "PNG|*.png|SVG|*.svg";
    request.DefaultExt = ".png";
    request.InitialDir = main_.GraphFilePath;
    request.FileName = QFileInfo(main_.GraphFilePath).completeBaseName() + ".png";
    request.NewFile = true;
    const auto chosen = services_.dialogs.OpenFile(request);
    if (!chosen) {
        return;
    }
    const auto format = GraphPicture::FormatOf(*chosen);
    QString why = "A picture's name ends in .png (a PNG image) or .svg (an SVG drawing).";
    if (format) {
        try {
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
            const auto restoreCursor =
                qScopeGuard([] { QGuiApplication::restoreOverrideCursor(); });
            GraphPicture(*log_, View, layout_, shownCaptions()).Save(*chosen, *format);
            return;
        } catch (const DbError& e) {
            why = e.Detail;
        }
    }
    services_.dialogs.MsgBox("The picture was not saved as" + kCrLf + *chosen + kCrLf + kCrLf +
                                 why + kCrLf + kCrLf,
                             Dialogs::Buttons::Ok, kPictureFailedTitle);
}

// The texts as the window shows them now.
GraphCaptions frmGrapher::shownCaptions() const {
    GraphCaptions c;
    c.Title = lblTitle->text();
    c.FileName = lblFileName->text();
    c.Date = lblDate->text();
    c.Comment = txtComment->text();
    const std::array labels = scaleLabels();
    for (size_t i = 0; i < labels.size(); ++i) {
        c.ScaleLabels[i] = labels[i]->text();
    }
    c.Times = times_;
    return c;
}

void frmGrapher::mnuStatistics_Click() {
    withLog([&] {
        const ViewStatistics stats = ViewStatistics::Of(*log_, View.FirstPos(), View.LastPos());
        services_.dialogs.ShowText(stats.Text(), kStatisticsTitle);
    });
}

void frmGrapher::mnuAbout_Click() {
    services_.dialogs.MsgBox(HelpTexts::GrapherAbout(main_.ProgramVersion), Dialogs::Buttons::Ok,
                             HelpTexts::kGrapherAboutTitle);
}

void frmGrapher::mnuContents_Click() {
    services_.dialogs.MsgBox(HelpTexts::GrapherHelp(main_.ProgramVersion), Dialogs::Buttons::Ok,
                             HelpTexts::kGrapherHelpTitle);
}

// Each event of the graph and each key of the window passes here once.
bool frmGrapher::eventFilter(QObject* watched, QEvent* event) {
    if (watched == windowHandle() && event->type() == QEvent::KeyPress) {
        // Left and Right move the cursor before the control that has the focus gets
        // the key as usual (the comment box moves its caret).
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Left) {
            Form_KeyDown(kKeyLeft);
        } else if (key == Qt::Key_Right) {
            Form_KeyDown(kKeyRight);
        }
    } else if (watched == picGraph) {
        if (event->type() == QEvent::MouseMove || event->type() == QEvent::MouseButtonPress) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            const double x = picGraph->UserX(int(mouse->position().x()));
            if (event->type() == QEvent::MouseMove) {
                picGraph_MouseMove(x);
            } else {
                picGraph_MouseDown(x);
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmGrapher::closeEvent(QCloseEvent* event) {
    ProgramSettings().WriteLogFolder(main_.GraphFilePath);
    event->accept();
    emit Closed();
}

} // namespace qmx
