// The logging window: the logger's rules (rows, interval, times), its strip chart's scale
// and drawing, then the window as the user meets it: proposals, manual and timed runs, the
// creation box, failures and placement.
#include "tests/support/logmaker.h"
#include "tests/support/mainwindowfixture.h"
#include "tests/support/pixels.h"
#include "tests/support/testfiles.h"

#include "logging/chartstate.h"
#include "logging/chartview.h"
#include "logging/frmlogger.h"
#include "logging/runcontrol.h"
#include "logging/samplerow.h"
#include "logging/sqlitedb.h"
#include "platform/settingsstore.h"
#include "ui/picturebox.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <sys/resource.h>

using namespace qmx;
using namespace qmx::RunControl;

namespace {

// The logger's rules: the row a shown line gives, the interval, the times of a timed run.
TEST(SampleRow, RowRulesOfTheLogger) {
    const struct {
        const char* line;
        const char* type;
        const char* units;
        std::optional<float> value;
    } lines[] = {{"DC -1.234 V", "DC", " V", -1.234f},   {"AC  0.775 V", "AC", " V", 0.775f},
                 {"FR  1.000 KHz", "FR", "KHz", 1.0f},   {"FR  1.000 MHz", "FR", "MHz", 1.0f},
                 {"TEMP  25.3  C", "Temp", " C", 25.0f}, {"OH  12.34 KOHM", "OH", "Ohm", {}},
                 {"OH  1.234 MOHM", "OH", "Mohm", {}},   {"DC    OL OPEN", "DC", "", 0.0f},
                 {"DC  1.234 OPEN", "DC", "", 1.234f},   {"CO     0 SHORT", "CO", "", {}},
                 {"AC  123.4 mV", "AC", "mV", 123.4f},   {"DC 1E+39 V", "DC", " V", {}},
                 {"DC 9E999 V", "DC", " V", {}}};
    for (const auto& l : lines) {
        SCOPED_TRACE(l.line);
        const auto row = BuildSampleRow(l.line, "dBu Not Valid", 3.0f, QTime(15, 25, 7));
        ASSERT_TRUE(row.has_value());
        EXPECT_EQ(row->TimeStamp, "3:25:07 PM");
        EXPECT_EQ(row->Type, l.type);
        EXPECT_EQ(row->Units, l.units);
        ASSERT_EQ(row->Value.has_value(), l.value.has_value());
        if (row->Value) {
            EXPECT_FLOAT_EQ(*row->Value, *l.value);
        }
        EXPECT_FALSE(row->Dbu.has_value());
    }
    EXPECT_FALSE(BuildSampleRow("No Comm", "dBu Not Valid", 0.0f, QTime(9, 0)).has_value());
    EXPECT_FALSE(BuildSampleRow("", "", 0.0f, QTime(9, 0)).has_value());
}

TEST(SampleRow, DbuIsTheShownLevelRoundedToTwoDecimals) {
    const auto row = BuildSampleRow("AC  0.775 V", "-00.05 dBu", -0.05169801f, QTime(9, 0));
    ASSERT_TRUE(row->Dbu.has_value());
    EXPECT_FLOAT_EQ(*row->Dbu, -0.05f);
    EXPECT_FLOAT_EQ(*BuildSampleRow("AC 7.746 V", "x", 19.996f, QTime(9, 0))->Dbu, 20.0f);
    EXPECT_FALSE(BuildSampleRow("AC 9E999 V", "x", INFINITY, QTime(9, 0))->Dbu.has_value());
}

// What the interval field shows once left, the interval it means, and its own text.
TEST(Interval, ClampsOnLeavingTheFieldAndShowsAPlainDecimal) {
    const struct {
        const char* typed;
        const char* shown;
        qint32 ms;
    } typed[] = {{"0.2", "0.5", 500},     {"75", "60.0", 60000},    {"1.25", "1.25", 1250},
                 {"", "0.5", 500},        {"fast", "0.5", 500},     {"2,5", "2,5", 2000},
                 {"1e99", "60.0", 60000}, {"0.5005", "0.5005", 500}};
    for (const auto& t : typed) {
        EXPECT_EQ(CorrectedInterval(t.typed), t.shown) << t.typed;
        EXPECT_EQ(IntervalMs(t.shown), t.ms) << t.typed;
    }
    EXPECT_EQ(IntervalText(1000), "1");
    EXPECT_EQ(IntervalText(500), "0.5");
    EXPECT_EQ(IntervalText(1250), "1.25");
}

// A time is reached by the tick at it or the first tick after it, across midnight too.
TEST(TimeReached, ExactOrPassedSinceThePreviousTick) {
    const struct {
        const char* target;
        const char* previous;
        const char* clock;
        bool reached;
    } ticks[] = {{"10:00:00 AM", "09:59:59 AM", "10:00:00 AM", true},
                 {"10:00:00 AM", "", "10:00:00 AM", true},
                 {"10:00:00 AM", "09:59:58 AM", "10:00:01 AM", true},
                 {"10:00:00 AM", "10:00:00 AM", "10:00:01 AM", false},
                 {"10:00:00 AM", "09:59:58 AM", "09:59:59 AM", false},
                 {"12:00:00 AM", "11:59:59 PM", "12:00:01 AM", true},
                 {"10:00:00 AM", "08:00:00 AM", "11:00:00 AM", false},
                 {"  :  :   ", "09:59:58 AM", "10:00:01 AM", false}};
    for (const auto& t : ticks) {
        EXPECT_EQ(TimeReached(t.target, t.previous, t.clock), t.reached)
            << t.target << " " << t.previous << " " << t.clock;
    }
}

// The top is the first ladder value not below the peak. A trace within half the scale steps
// it down one ladder value a second; a peak above the scale asks for a larger one at once;
// the smallest scale is never reduced.
TEST(ChartRescale, StepsDownOneValueAtATimeAndUpAtOnce) {
    ChartState chart;
    chart.ChartFullScale = 10.0f;
    chart.ChartBuffer.fill(0.8f);
    std::vector<float> tops;
    for (int second = 0; second < 6; ++second) {
        chart.ResetMaxMin();
        if (chart.ChartRescalePending) {
            chart.ChartFullScale = ChartScale::TopFor(chart.ChartPeak);
            chart.ChartRescalePending = false;
            tops.push_back(chart.ChartFullScale);
        }
    }
    EXPECT_EQ(tops, std::vector<float>({5.0f, 2.0f, 1.0f}));
    const float ends[] = {ChartScale::TopFor(0.0f), ChartScale::TopFor(0.5f),
                          ChartScale::TopFor(0.51f), ChartScale::TopFor(3000.0f)};
    EXPECT_EQ(std::vector<float>(std::begin(ends), std::end(ends)),
              std::vector<float>({0.1f, 0.5f, 1.0f, 2000.0f}));
    chart.ChartBuffer[17] = -3.3f;
    chart.ResetMaxMin();
    EXPECT_TRUE(chart.ChartRescalePending);
    EXPECT_FLOAT_EQ(ChartScale::TopFor(chart.ChartPeak), 5.0f);
    ChartState smallest;
    smallest.ChartFullScale = 0.1f;
    smallest.ResetMaxMin();
    EXPECT_FALSE(smallest.ChartRescalePending);
}

class ChartDrawing : public ::testing::Test {
protected:
    PictureBox picture;
    QLabel labels[5];
    QLabel type;
    ChartView view{&picture, {&labels[0], &labels[1], &labels[2], &labels[3], &labels[4]}, &type};
    ChartState chart;
    const QColor red{255, 0, 0};

    void SetUp() override {
        picture.resize(240, 200);
        picture.SetBackColor(Qt::black);
        chart.ChartPeak = 2.0f;
        view.DrawChartScale(chart, "DC", "Volts");
    }
    // Stores a value as the display tick does, and draws the trace.
    void store(float v) {
        chart.Store(v);
        view.DrawTrace(chart);
        chart.Advance();
    }
};

TEST_F(ChartDrawing, NewestAtTheRightOverTheGridZerosWithoutAPointAcInTheUpperHalf) {
    EXPECT_EQ(type.text(), "DC Volts");
    EXPECT_FLOAT_EQ(chart.ChartFullScale, 2.0f);
    EXPECT_EQ(labels[1].text() + "|" + labels[4].text(), "1.00|-2.00");
    store(1.0f);
    EXPECT_EQ(picture.PixelAt(239, 1.0f), red);
    // The dotted full-height mark at x = 40 is still drawn under the trace.
    const QRect mark(picture.ToPixel(40, 0).x(), 0, 1, 200);
    EXPECT_GT(CountPixels(picture.Image(), mark,
                          [&](const QColor& c) { return c != Qt::black && c != red; }),
              0);
    store(0.0f);
    store(1.0f);
    // The zero at 238 has no point and is bridged; a newest zero is drawn as a point.
    EXPECT_EQ(picture.PixelAt(238, 1.0f), red);
    EXPECT_NE(picture.PixelAt(238, 0.0f), red);
    store(0.0f);
    EXPECT_EQ(picture.PixelAt(239, 0.0f), red);
    view.DrawChartScale(chart, "No ", "omm");
    EXPECT_EQ(type.text(), "No Comm");
    // AC readings use the upper half only.
    view.DrawChartScale(chart, "AC", "Volts");
    EXPECT_EQ(labels[1].text() + "|" + labels[4].text(), "1.50|0");
    store(0.5f);
    EXPECT_EQ(picture.PixelAt(239, 0.5f), red);
    EXPECT_EQ(picture.ToPixel(1, 0).y(), 199);
}

TEST_F(ChartDrawing, TheWrapFromTheLastSlotToTheFirstHasNoJump) {
    chart.ChartIndex = 238;
    store(-1.0f); // slot 238
    store(-0.5f); // slot 239
    store(1.5f);  // slot 0
    EXPECT_EQ(chart.ChartIndex, 1);
    EXPECT_EQ(picture.PixelAt(237, -1.0f), red) << "slot 238 left of slot 239";
    EXPECT_EQ(picture.PixelAt(238, -0.5f), red) << "slot 239 just left of slot 0";
    EXPECT_EQ(picture.PixelAt(239, 1.5f), red);
    // Every row between the two values is red in the columns of slots 239 and 0: one line.
    const QPoint from = picture.ToPixel(238, -0.5f);
    const QPoint to = picture.ToPixel(239, 1.5f);
    for (int y = to.y(); y <= from.y(); ++y) {
        EXPECT_TRUE(picture.Image().pixelColor(from.x(), y) == red ||
                    picture.Image().pixelColor(to.x(), y) == red)
            << y;
    }
}

// Whether every shown caption of the window is readable whole in its control: a push
// button needs its text and the style's margins (not the style's least width).
void expectCaptionsWhole(QWidget* window) {
    for (QWidget* control : window->findChildren<QWidget*>()) {
        if (!control->isVisibleTo(window) ||
            !(control->inherits("QLabel") || control->inherits("QAbstractButton"))) {
            continue;
        }
        const QString caption = control->property("text").toString();
        int needed = control->sizeHint().width();
        if (control->inherits("QPushButton")) {
            const QStyle* style = control->style();
            needed = control->fontMetrics().horizontalAdvance(QString(caption).remove('&')) +
                     2 * style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, control) +
                     2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, control);
        }
        EXPECT_LE(needed, control->width()) << qPrintable(caption);
    }
}

class LoggerTest : public MainWindowFixture {
protected:
    QTemporaryDir logs;

    void SetUp() override {
        MainWindowFixture::SetUp();
        SettingsStore().Write("DataFilePath", logs.path());
        ASSERT_TRUE(load());
        showLine("DC -1.234 V");
    }
    frmLogger& open() {
        w->mnuLogger->trigger();
        EXPECT_NE(w->Logger, nullptr);
        return *w->Logger;
    }
    // The rows of a log as "Type|Units|Value|dBu".
    QStringList rowsOf(const QString& path) {
        const auto text = [](const std::optional<double>& v) {
            return v ? QString::number(float(*v)) : QString("null");
        };
        QStringList out;
        for (const LogRecord& r : ReadWholeLog(path).samples) {
            out << r.Type.value_or("") + "|" + r.Units.value_or("") + "|" + text(r.Value) + "|" +
                       text(r.Dbu);
        }
        return out;
    }
};

TEST_F(LoggerTest, OpensWithItsProposalsCutsALongCommentAndShowsItsHelp) {
    frmLogger& l = open();
    EXPECT_EQ(l.txtFilePath->text(), logs.path() + "/Test.qmx");
    EXPECT_EQ(l.txtSampInt->text(), "1");
    EXPECT_TRUE(l.optManual->isChecked());
    EXPECT_FALSE(l.cmdStop->isEnabled());
    EXPECT_FALSE(l.Label10->isVisibleTo(&l));
    tick();
    EXPECT_FALSE(w->mnuOpen->isEnabled());
    w->mnuLogger->trigger();
    EXPECT_EQ(w->findChildren<frmLogger*>().size() + 0, 0u) << "not a child of the main window";
    l.txtComment->setText(QString(300, 'c'));
    EXPECT_EQ(l.txtComment->text().size(), 254);
    l.mnuAbout->trigger();
    l.mnuContents->trigger();
    ASSERT_EQ(dialogs.boxes.size(), 3u);
    EXPECT_EQ(dialogs.boxes[0].text, "Comment Too Long!");
    EXPECT_EQ(dialogs.boxes[1].title, "About QMX-7300 Log Control");
    EXPECT_EQ(dialogs.boxes[2].title, "QMX-7300 Logging Control Help");
    EXPECT_TRUE(dialogs.boxes[2].text.endsWith("('Menu' 6 times 'Enter')."));
}

TEST_F(LoggerTest, AManualRunRecordsTheShownReadingsAndCountsFromOne) {
    frmLogger& l = open();
    l.txtComment->setText("supply rail");
    l.txtSampInt->setText("0.5");
    l.cmdStart_Click();
    EXPECT_EQ(w->LogIntervalMs, 500);
    EXPECT_EQ(w->tmrLogClock.interval(), 500);
    EXPECT_TRUE(w->tmrLogClock.isActive());
    EXPECT_EQ(l.lblSampCount->text(), "1");
    EXPECT_FALSE(l.cmdReturn->isEnabled());
    for (const char* line : {"AC 7.746 V", "No Comm", "TEMP  25.3  C", "DC 1E+39 V"}) {
        showLine(line);
        w->GetRowofData();
    }
    EXPECT_EQ(l.lblSampCount->text(), "4");
    l.cmdStop_Click();
    EXPECT_FALSE(w->tmrLogClock.isActive());
    EXPECT_EQ(l.Label5->text(), "Sampling Control:");
    EXPECT_TRUE(l.cmdReturn->isEnabled());
    EXPECT_EQ(rowsOf(w->LogFilePath), QStringList({"DC| V|-1.234|null", "AC| V|7.746|20",
                                                   "Temp| C|25|null", "DC| V|null|null"}));
    const LogContents log = ReadWholeLog(w->LogFilePath);
    ASSERT_EQ(log.info.size(), 1u);
    EXPECT_EQ(log.info[0].Description, "supply rail");

    // A second run needs a new file and counts from 1 again.
    w->LogFilePath = logs.filePath("second.qmx");
    l.cmdStart_Click();
    EXPECT_EQ(l.lblSampCount->text(), "1");
    EXPECT_EQ(w->SampleCount, 1);
}

// An existing file: choosing a timed run is refused at once; a start shows the creation
// box, while which the status does not say sampling; Retry once the file is gone starts the
// run, Cancel ends the program at once.
TEST_F(LoggerTest, NoSamplingStatusWhileTheCreationBoxIsOpenAndCancelEndsTheProgram) {
    frmLogger& l = open();
    WriteFile(w->LogFilePath, "");
    l.optTimer->setChecked(true);
    l.optTimer_Click(); // a timed run is refused at once
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].title, "Logging File Error!");
    EXPECT_EQ(dialogs.boxes[0].text, "File " + w->LogFilePath +
                                         " exists already.\r\n\r\nCannot OverWrite! Create "
                                         "another file or delete this one...");
    EXPECT_TRUE(l.optManual->isChecked());
    EXPECT_FALSE(l.mskStartTime->isVisibleTo(&l));
    dialogs.boxes.clear();
    QStringList shown;
    dialogs.whileBoxIsOpen = [&] {
        for (int second = 0; second < 2; ++second) {
            l.tmrRealTime_Timer();
            shown << l.Label5->text();
        }
        QFile::remove(w->LogFilePath);
    };
    dialogs.answers = {Dialogs::Answer::Retry};
    l.cmdStart_Click();
    EXPECT_EQ(shown, QStringList({frmLogger::kIdleStatus, frmLogger::kIdleStatus}));
    EXPECT_TRUE(w->LoggingActive) << "started after Retry";
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].title, "Database Creation Error!");
    EXPECT_EQ(dialogs.boxes[0].buttons, Dialogs::Buttons::RetryCancel);
    l.cmdStop_Click();
    dialogs.whileBoxIsOpen = nullptr;
    l.cmdStart_Click(); // onto the log just made
    EXPECT_TRUE(w->DbCreateFailed);
    EXPECT_FALSE(w->LoggingActive);
    EXPECT_TRUE(w->Ended);
    EXPECT_FALSE(w->LoggerOpen);
    EXPECT_EQ(SettingsStore().Read("CommPort", "unsaved"), "unsaved");
}

class TimedRun : public LoggerTest {
protected:
    // The main window's tick at the given time, then the logger's one-second tick.
    void secondAt(QTime t) {
        clock.time = t;
        tick();
        w->Logger->tmrRealTime_Timer();
    }
};

// Every shown caption of both windows is readable whole in each state of a timed run. The
// start takes the interval as leaving its field would.
TEST_F(TimedRun, EveryCaptionIsReadableWholeInEveryStateAndTheStartCorrectsTheInterval) {
    frmLogger& l = open();
    l.optTimer->setChecked(true);
    l.optTimer_Click();
    l.mskStartTime->setText("10:00:02 AM");
    l.mskEndTime->setText("10:00:05 AM");
    l.txtSampInt->setText("0"); // still in the field when the start time comes
    secondAt(QTime(10, 0, 1));
    ASSERT_EQ(l.cmdStart->text(), "Timed Start Pending!");
    expectCaptionsWhole(&l);
    secondAt(QTime(10, 0, 2));
    ASSERT_EQ(l.cmdStart->text(), "In Progress!");
    EXPECT_EQ(l.txtSampInt->text(), "0.5");
    EXPECT_EQ(w->LogIntervalMs, 500);
    EXPECT_EQ(w->tmrLogClock.interval(), 500);
    l.StatusBlink = false;
    l.tmrRealTime_Timer();
    ASSERT_EQ(l.Label5->text(), "Sampling in Progress!");
    expectCaptionsWhole(&l);
    l.cmdStop_Click();
    expectCaptionsWhole(&l);
    expectCaptionsWhole(w.get());
    showLine("AC  0.775 V");
    w->cmdDB_Click();
    ASSERT_EQ(w->cmdDB->text(), "AC Volts Only!");
    expectCaptionsWhole(w.get());
}

// Choosing a timed run fills both boxes with the clock's time; equal times never start.
// Typing into an emptied box fills it from the start wherever it was clicked. Only the
// user's entry into a box empties it: not the focus coming back with the window or after a
// dialog closed. The run starts and stops at the typed times, also on late ticks.
TEST_F(TimedRun, ATypedTimeFillsItsBoxAndStaysWhenTheFocusComesBackAndStopsTheRun) {
    clock.time = QTime(10, 0, 0);
    frmLogger& l = open();
    l.optTimer->setChecked(true);
    l.optTimer_Click(); // both boxes take the clock's time
    EXPECT_EQ(l.mskStartTime->text(), "10:00:00 AM");
    EXPECT_EQ(l.mskEndTime->text(), "10:00:00 AM");
    secondAt(QTime(10, 0, 1));
    EXPECT_FALSE(l.cmdStart->isEnabled()) << "equal times never start";
    l.mskStartTime->clear();
    l.mskEndTime->clear();
    QTest::mouseClick(l.mskStartTime, Qt::LeftButton, {},
                      QPoint(l.mskStartTime->width() * 2 / 3, l.mskStartTime->height() / 2));
    QTest::keyClicks(l.mskStartTime, "100002am");
    EXPECT_EQ(l.mskStartTime->text(), "10:00:02 AM");
    QTest::mouseClick(l.mskEndTime, Qt::LeftButton);
    QTest::keyClicks(l.mskEndTime, "100005pm");
    for (const auto reason : {Qt::ActiveWindowFocusReason, Qt::PopupFocusReason,
                              Qt::OtherFocusReason, Qt::TabFocusReason}) {
        QFocusEvent back(QEvent::FocusIn, reason);
        QApplication::sendEvent(l.mskEndTime, &back);
        EXPECT_EQ(l.mskEndTime->text().trimmed(),
                  reason == Qt::TabFocusReason ? "::" : "10:00:05 PM")
            << reason;
    }
    QTest::keyClicks(l.mskEndTime, "100005am");
    secondAt(QTime(10, 0, 1));
    EXPECT_FALSE(w->LoggingActive);
    secondAt(QTime(10, 0, 3));
    ASSERT_TRUE(w->LoggingActive);
    secondAt(QTime(10, 0, 7));
    EXPECT_FALSE(w->LoggingActive);
}

TEST_F(LoggerTest, ReturnStoresTheFolderAndAMenuCloseDuringARunStopsItFirstAndSoDoesQuit) {
    frmLogger& l = open();
    l.txtFilePath->setText("/data/logs/run1.qmx");
    l.cmdStart_Click();
    l.mnuReturn->trigger();
    EXPECT_FALSE(w->LoggingActive);
    EXPECT_FALSE(w->tmrLogClock.isActive());
    EXPECT_FALSE(w->LoggerOpen);
    EXPECT_EQ(SettingsStore().Read("DataFilePath", ""), "/data/logs");
    tick();
    EXPECT_TRUE(w->mnuOpen->isEnabled());
    frmLogger& again = open();
    EXPECT_EQ(again.txtFilePath->text(), "/data/logs/Test.qmx");
    again.txtFilePath->setText(logs.filePath("x.qmx"));
    w->cmdQuit_Click();
    EXPECT_EQ(w->Logger, nullptr);
    EXPECT_EQ(SettingsStore().Read("DataFilePath", ""), logs.path());
}

// The disk full: the message names the log and the rows saved, which stay.
TEST_F(LoggerTest, ARowThatCannotBeSavedStopsTheRunAndKeepsTheRowsBefore) {
    frmLogger& l = open();
    l.cmdStart_Click();
    for (int i = 0; i < 3; ++i) {
        w->GetRowofData();
    }
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, SIG_IGN);
    rlimit tight = old;
    tight.rlim_cur = QFile(w->LogFilePath).size();
    setrlimit(RLIMIT_FSIZE, &tight);
    for (int i = 0; i < 400 && w->LoggingActive; ++i) {
        w->GetRowofData();
    }
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_FALSE(w->LoggingActive);
    ASSERT_FALSE(dialogs.boxes.empty());
    EXPECT_EQ(dialogs.boxes.back().title, "Logging Error!");
    EXPECT_TRUE(dialogs.boxes.back().text.contains(w->LogFilePath));
    const int saved = w->SampleCount;
    EXPECT_TRUE(dialogs.boxes.back().text.contains(QString::number(saved) + " samples"));
    EXPECT_EQ(rowsOf(w->LogFilePath).size(), saved);
}

TEST_F(LoggerTest, AReaderHoldingTheLogEndsNoRunAndItsRowsFollowInOrder) {
    frmLogger& l = open();
    l.cmdStart_Click();
    SqliteDb reader(w->LogFilePath, SqliteDb::Mode::ReadOnly);
    reader.Exec("BEGIN");
    Statement hold = reader.Prepare("SELECT count(*) FROM LogData");
    hold.Step();
    for (const char* line : {"DC 2.000 V", "DC 3.000 V"}) {
        showLine(line);
        w->GetRowofData();
    }
    EXPECT_TRUE(w->LoggingActive);
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_EQ(l.lblSampCount->text(), "1") << "the count shows the rows saved";
    hold.Reset();
    reader.Exec("COMMIT");
    w->tmrDispUpdate_Timer();
    EXPECT_EQ(l.lblSampCount->text(), "3");
    EXPECT_EQ(rowsOf(w->LogFilePath),
              QStringList({"DC| V|-1.234|null", "DC| V|2|null", "DC| V|3|null"}));
}

TEST_F(LoggerTest, AModeChangeWhileTheWindowIsClosedEmptiesTheChart) {
    for (int i = 0; i < 3; ++i) {
        showLine("DC  0.800 V");
    }
    showLine("AC  1.230 V");
    frmLogger& l = open();
    showLine("AC  1.230 V");
    EXPECT_EQ(std::count(w->Chart.ChartBuffer.begin(), w->Chart.ChartBuffer.end(), 0.8f), 0);
    EXPECT_EQ(l.picGraph->PixelAt(239, 1.23), QColor(Qt::red));
    for (int x = 230; x < 238; ++x) {
        EXPECT_NE(l.picGraph->PixelAt(x, 0.8), QColor(Qt::red)) << x;
    }
}

// Names the widgets of two windows whose style or font changes.
struct RestyleCounter : QObject {
    QWidget* first;
    QWidget* second;
    QStringList restyled;
    RestyleCounter(QWidget* a, QWidget* b) : first(a), second(b) { qApp->installEventFilter(this); }
    ~RestyleCounter() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget != nullptr && (widget->window() == first || widget->window() == second) &&
            (event->type() == QEvent::StyleChange || event->type() == QEvent::FontChange)) {
            restyled << widget->objectName();
        }
        return false;
    }
};

// A day of ticks must not wear the program down: a tick that changes no colour or font
// applies none.
TEST_F(LoggerTest, TicksOfARecordingRunRestyleNothingThatStaysTheSame) {
    w->show(); // only shown widgets are styled
    frmLogger& l = open();
    l.cmdStart_Click();
    showLine("AC  7.746 V");
    l.tmrRealTime_Timer();
    l.tmrRealTime_Timer();
    RestyleCounter counter(w.get(), &l);
    for (int tick = 1; tick <= 8; ++tick) {
        showLine(tick % 2 == 0 ? "AC  7.746 V" : "AC  7.747 V");
        if (tick % 2 == 0) {
            w->GetRowofData();
        }
        if (tick % 4 == 0) {
            l.tmrRealTime_Timer();
        }
    }
    EXPECT_EQ(counter.restyled, QStringList());
}

} // namespace
