// The graph: the rules of its view (scale, zoom, reading inside the log) and of its exports
// (the CSV's bytes, targets no export may write), then the window as the user meets it:
// opened from the main window, its labels and pixels, cursor, markers and zoom, the
// comment, and the exports from its menu.
#include "tests/support/logmaker.h"
#include "tests/support/mainwindowfixture.h"
#include "tests/support/pixels.h"
#include "tests/support/testfiles.h"

#include "grapher/accessexport.h"
#include "grapher/csvexport.h"
#include "grapher/frmgrapher.h"
#include "grapher/graphview.h"
#include "grapher/logcopy.h"
#include "grapher/logdocument.h"
#include "logging/sqlitedb.h"
#include "platform/settingsstore.h"
#include "ui/picturebox.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <unistd.h>

using namespace qmx;

namespace {

const QColor kRed(255, 0, 0);
const QString kLongDate = QLocale().toString(QDate(2026, 12, 6), QLocale::LongFormat);

float ramp100(int k) {
    return float(k) / 10.0f;
}

float rise(int k) {
    return float(k);
}

// The scale of a view of 100 samples with these extremes: its top, its labels top to
// bottom, and the sign filter it leaves (readings that are never negative: positive only).
TEST(DrawScale, LadderLabelsAndFilter) {
    const struct {
        const char* type;
        const char* filter;
        float max, min, top;
        const char* labels;
        const char* filterAfter;
    } cases[] = {
        {"DC", "both", 4.2f, 0.3f, 5, "5.00|2.50|0|-2.50|-5.00", "both"},
        {"DC", "negative", 3.0f, -7.0f, 10, "0|-2.50|-5.00|-7.50|-10.00", "negative"},
        {"DC", "both", 2500.0f, 1.0f, 2000, "2000.00|1000.00|0|-1000.00|-2000.00", "both"},
        {"AC", "both", 1.2f, 0.1f, 2, "2.00|1.50|1.00|.50|0", "positive"},
        {"FR", "negative", 0.5f, 0.4f, 0.5f, ".50|.375|.25|.125|0", "positive"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.labels);
        GraphView view;
        view.ViewAll(100);
        view.LogType = c.type;
        view.SignFilter = c.filter;
        const ScaleLayout layout = GraphScale::DrawScale(view, c.max, c.min);
        EXPECT_FLOAT_EQ(view.ScaleTop, c.top);
        EXPECT_EQ(QStringList(layout.Labels.begin(), layout.Labels.end()).join('|'), c.labels);
        EXPECT_EQ(view.SignFilter, c.filterAfter);
        EXPECT_TRUE(layout.HasCoordinates);
    }
}

TEST(GraphView, AViewBeyondTheLogIsNeverReadSilently) {
    QTemporaryDir dir;
    MakeLog(dir.filePath("run.qmx"), Ramp(5, [](int k) { return float(k); }));
    const LogDocument log(dir.filePath("run.qmx"));
    for (const qint32 position : {0, 6}) {
        EXPECT_THROW((void)log.Value(position), DbError) << position;
    }
    GraphView view;
    view.SetRange(3, 8);
    EXPECT_THROW(GraphScale::GetMaxMin(view, log), DbError);
}

// The exports of a log, below the window: the CSV's bytes, and targets no export may write.
// Written under a German locale (whose decimal comma the file must not take), over an
// earlier export of the same name.
TEST(CsvFile, HoldsTheLogInThePlainLayoutWhateverTheLocale) {
    const std::string cBefore = std::setlocale(LC_ALL, nullptr);
    const QLocale qtBefore;
    const auto restore = qScopeGuard([&] {
        QLocale::setDefault(qtBefore);
        std::setlocale(LC_ALL, cBefore.c_str());
    });
    std::setlocale(LC_ALL, "de_DE.UTF-8");
    QLocale::setDefault(QLocale(QLocale::German));
    QTemporaryDir dir;
    const QString log = dir.filePath("run1.qmx");
    MakeLog(log,
            {{0.5f, "AC", " V", 2.5f, "9:00:00 AM"},
             {-1.25f, "DC", " V", std::nullopt, "9:00:01 AM"},
             {std::nullopt, "OH", "Ohm", std::nullopt, "9:00:02 AM"},
             {12345678.0f, "DC", " V", 0.00001f},
             {0.0001f, "DC", " V", 1234567.0f}},
            "12/6/2026", "rail, \"5 V\"\r\nsecond line");
    WriteFile(dir.filePath("run1.csv"), "an earlier export");
    CsvExport(log, CsvExport::TargetFor(log)).Run();
    EXPECT_EQ(ContentsOf(dir.filePath("run1.csv")),
              "12/6/2026,\"rail, \"\"5 V\"\"\r\nsecond line\"\r\n9:00:00 AM,AC, V,0.5,2.5\r\n"
              "9:00:01 AM,DC, V,-1.25,\r\n9:00:02 AM,OH,Ohm,,\r\n"
              "9:00:00 AM,DC, V,1.234568E+07,1E-05\r\n9:00:00 AM,DC, V,0.0001,1234567\r\n");
}

// An earlier export at a path, which the user may not write when read-only.
void earlierExport(const QString& path, bool readOnly = false) {
    WriteFile(path, "an earlier export");
    if (readOnly) {
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    }
}

// Each export onto a target it must not write over, made beside the log: the log itself, a
// link to it, a read-only file, and for the CSV (the copy reads no rows, so only it can fail
// half-way) an earlier export of a log that no longer reads. The export fails, with the
// file error number where one is given, and no file changes, none is left behind.
TEST(ExportTargets, FailAndLeaveEveryFileAsItWas) {
    const struct {
        const char* name;
        const char* log;    // the log's file name
        const char* target; // the export's target
        void (*make)(const QString& log, const QString& target);
        int code = DbError::kPermissionDenied; // 0: any failure
        std::vector<const char*> kinds = {"csv", "copy", "access"};
    } targets[] = {
        {"TheLogItself", "run.csv", "run.csv", [](auto&, auto&) {}},
        {"ALinkToTheLog", "run1.qmx", "out", [](auto& log, auto& out) { QFile::link(log, out); }},
        {"AHardLinkToTheLog", "run1.qmx", "out",
         [](auto& log, auto& out) { ::link(qPrintable(log), qPrintable(out)); }},
        {"AReadOnlyFile", "run1.qmx", "out", [](auto&, auto& out) { earlierExport(out, true); }},
        {"AnEarlierExportOfALogThatNoLongerReads",
         "run1.qmx",
         "out",
         [](auto& log, auto& out) {
             earlierExport(out);
             QFile::resize(log, 0);
         },
         0,
         {"csv"}},
    };
    for (const auto& t : targets) {
        for (const std::string kind : t.kinds) {
            SCOPED_TRACE(kind + " " + t.name);
            QTemporaryDir dir;
            const QString log = dir.filePath(t.log);
            const QString out = dir.filePath(t.target);
            MakeLog(log, Ramp(5, [](int k) { return float(k); }));
            t.make(log, out);
            const auto before = FilesIn(dir.path());
            const int code = ErrorCodeOf([&] {
                if (kind == "csv") {
                    CsvExport(log, out).Run();
                } else if (kind == "copy") {
                    CopyLogFile(log, out);
                } else {
                    ExportAccessFile(log, out);
                }
            });
            EXPECT_NE(code, 0) << "the export must fail";
            if (t.code != 0) {
                EXPECT_EQ(code, t.code);
            }
            EXPECT_EQ(FilesIn(dir.path()), before) << "no file changed, none left behind";
        }
    }
}

class GrapherTest : public MainWindowFixture {
protected:
    QTemporaryDir logs;
    frmGrapher* g = nullptr; // the window the last open() gave

    void SetUp() override {
        MainWindowFixture::SetUp();
        ASSERT_TRUE(load());
    }
    QString make(const QString& name, const std::vector<LogSample>& samples,
                 const NullableText& description = "bench") {
        const QString path = logs.filePath(name);
        MakeLog(path, samples, "12/6/2026", description);
        return path;
    }
    // Opens the file from the main window's menu.
    frmGrapher* open(const QString& path) {
        dialogs.files.push_back(path);
        w->mnuOpen->trigger();
        return g = w->Grapher.get();
    }
    void zoom(double from, double to) {
        g->picGraph_MouseDown(from);
        g->picGraph_MouseDown(to);
        g->cmdZoom_Click();
    }
};

// Centred on the main window's screen, with the log's name, date, comment, kind, extremes
// and trace; opening from the main window again loads into the same window.
TEST_F(GrapherTest, OpensFromTheMainWindowCentredWithTheLogsNameDateCommentAndTrace) {
    ASSERT_NE(open(make("run1.qmx", Ramp(100, ramp100), "supply, 5 V rail")), nullptr);
    EXPECT_EQ(g->lblFileName->text(), "Filename: run1.qmx");
    EXPECT_EQ(g->lblDate->text(), kLongDate);
    EXPECT_EQ(g->txtComment->text(), "supply, 5 V rail");
    EXPECT_EQ(g->lblTitle->text(), "DC  V");
    EXPECT_EQ(g->View.ViewCount(), 100);
    EXPECT_EQ(g->lblMaxVal->text(), "+10.00");
    EXPECT_EQ(g->lblMinVal->text(), "+0.10");
    EXPECT_TRUE(g->cmdPlusMinus->isEnabled());
    EXPECT_EQ(g->picGraph->PixelAt(100, 10.0), kRed);
    EXPECT_EQ(g->picGraph->PixelAt(50, 5.0), kRed);
    const QRect screen = w->screen()->availableGeometry();
    constexpr int kFrameSide = 4; // the window is placed before its frame is known
    EXPECT_NEAR(g->frameGeometry().center().x(), screen.center().x(), kFrameSide);
    EXPECT_TRUE(screen.contains(g->frameGeometry().topLeft()));
    g->mnuAbout->trigger();
    g->mnuContents->trigger();
    EXPECT_EQ(dialogs.boxes[0].title, "About QMX-7300 Serial Application Graphing");
    EXPECT_TRUE(dialogs.boxes[0].text.contains("which remains intact."));
    EXPECT_EQ(dialogs.boxes[1].title, "QMX-7300 Serial Application Graphing Help");
    frmGrapher* first = g;
    EXPECT_EQ(open(make("b.qmx", Ramp(20, ramp100))), first);
    EXPECT_EQ(g->lblFileName->text(), "Filename: b.qmx");
    EXPECT_EQ(g->View.ViewCount(), 20);
}

// Files the window refuses, quickly, with the box for their kind of fault (an empty log,
// a damaged Access-format file, a file that is no log, and why); the program goes on.
TEST_F(GrapherTest, LoadErrorsRefuseWithTheirMessageAndCloseTheWindow) {
    const QString notValid = "Database is not a valid .qmx file,\r\nor may be corrupted!\r\n\r\n";
    const QString good = make("good.qmx", Ramp(1000, ramp100)), copy = logs.filePath("good.mdb");
    ExportAccessFile(good, copy);
    const auto damaged = DamagedCopies(ContentsOf(copy), 1000);
    const struct {
        QString kind;
        QString text; // the box's text before "Cannot continue...."
    } cases[] = {{"empty info", notValid},
                 {"not a database", "Unknown Error!\r\n\r\n"},
                 {"a folder", "Unknown Error!\r\n\r\nit is a folder, not a log file\r\n\r\n"},
                 {"random bytes after the signature", notValid}};
    for (const auto& c : cases) {
        SCOPED_TRACE(qPrintable(c.kind));
        const QString path = logs.filePath(c.kind + ".qmx");
        if (c.kind == "empty info") {
            MakeLog(path, Ramp(5, ramp100), "", "", false);
        } else if (c.kind == "not a database") {
            WriteFile(path, QByteArray(4096, 'x'));
        } else if (c.kind == "a folder") {
            QDir().mkdir(path);
        }
        for (const auto& [damage, bytes] : damaged) { // an Access-format file
            if (damage == c.kind) {
                WriteFile(path, bytes);
            }
        }
        dialogs.boxes.clear();
        QElapsedTimer clock;
        clock.start();
        EXPECT_EQ(open(path), nullptr);
        EXPECT_LT(clock.elapsed(), 8000) << "no hang";
        ASSERT_EQ(dialogs.boxes.size(), 1u);
        EXPECT_EQ(dialogs.boxes[0].title, "Cannot Start Graphing Program!");
        EXPECT_EQ(dialogs.boxes[0].text,
                  c.text + "Cannot continue....\r\n\r\nPress 'OK' to Exit.\r\n\r\n");
        EXPECT_EQ(SettingsStore().Read("DataFilePath", ""), logs.path());
        EXPECT_TRUE(w->Link.IsOpen());
    }
}

// A log of one sample has no scale (its labels keep their captions) and one point; longer
// ones, past a 16-bit count too, are drawn across the whole width and Right reaches the end.
TEST_F(GrapherTest, LogsOfOneTwoAndMoreThan32767SamplesOpenWhole) {
    for (const int n : {1, 2, 32766, 40000}) {
        SCOPED_TRACE(n);
        ASSERT_NE(open(make(QString("n%1.qmx").arg(n), Ramp(n, [](int) { return 1.0f; }))),
                  nullptr);
        EXPECT_EQ(g->View.ViewCount(), n);
        g->Form_KeyDown(39);
        EXPECT_EQ(g->CurrentPosition(), n);
        if (n == 1) {
            EXPECT_EQ(g->lblMax->text(), "Max");
            const QImage& image = g->picGraph->Image();
            EXPECT_EQ(CountPixels(image, image.rect(), [](const QColor& c) { return c == kRed; }),
                      1);
            continue;
        }
        for (const double x : {1.0, (1.0 + n) / 2, double(n)}) {
            EXPECT_EQ(g->picGraph->PixelAt(x, 1.0), kRed) << x;
        }
    }
}

// A value that cannot be drawn: none stored, infinite, beyond single range, or a text.
TEST_F(GrapherTest, UnusableValuesAreGapsReadAsNAAndLeftOutOfTheExtremesAndTheCsv) {
    for (const char* stored : {"NULL", "9e999", "-9e999", "1e39", "'NaN'"}) {
        SCOPED_TRACE(stored);
        QFile::remove(logs.filePath("gap.qmx"));
        const QString path = make("gap.qmx", Ramp(10, rise));
        SqliteDb(path, SqliteDb::Mode::ReadWrite)
            .Exec(QString("UPDATE LogData SET Value = %1, dBu = %1 WHERE rowid IN (5, 10)")
                      .arg(stored));
        ASSERT_NE(open(path), nullptr);
        EXPECT_EQ(g->lblMaxVal->text(), "+9.00");
        EXPECT_EQ(g->lblMinVal->text(), "+1.00");
        EXPECT_EQ(g->picGraph->PixelAt(4, 4.0), kRed);
        EXPECT_NE(g->picGraph->PixelAt(5, 5.0), kRed) << "the gap";
        g->picGraph_MouseMove(5.0);
        EXPECT_EQ(g->lblValue->text(), "NA");
        EXPECT_EQ(g->lbldBu->text(), "NA");
        CsvExport(path, logs.filePath("gap.csv")).Run();
        EXPECT_EQ(ContentsOf(logs.filePath("gap.csv")).split('\n')[5], "9:00:00 AM,DC, V,,\r");
    }
}

// The pointer picks the nearest sample of the view (halves to even, clamped to the view);
// a key steps from it. Exactly one cross marks it.
TEST_F(GrapherTest, CursorFollowsKeysAndPointerWithOneCross) {
    std::vector<LogSample> samples = Ramp(100, ramp100);
    samples[7].dbu = 2.5f;
    ASSERT_NE(open(make("run.qmx", samples)), nullptr);
    const QImage plotted = g->picGraph->Image().copy();
    g->picGraph_MouseMove(7.5);
    EXPECT_EQ(g->CurrentPosition(), 8);
    EXPECT_EQ(g->lbldBu->text(), "2.5");
    EXPECT_EQ(g->lblTS->text(), "9:00:00 AM");
    g->Form_KeyDown(39);
    EXPECT_EQ(g->CurrentPosition(), 9) << "the key steps from the sample under the pointer";
    EXPECT_EQ(g->lblValue->text(), "0.9");
    g->picGraph_MouseMove(-40.0);
    EXPECT_EQ(g->CurrentPosition(), 1);
    g->picGraph_MouseMove(6.5);
    EXPECT_EQ(g->CurrentPosition(), 6) << "the nearest sample, halves to even";
    // Exactly one cross: removing it by drawing it again gives back the plotted picture.
    EXPECT_NE(g->picGraph->Image(), plotted);
    g->cmdReset_Click();
    EXPECT_EQ(g->picGraph->Image(), plotted) << "no cross after a redraw";
}

TEST_F(GrapherTest, MarkersZoomKeysStayInTheZoomAndReset) {
    open(make("run.qmx", Ramp(100, ramp100)));
    const QImage plotted = g->picGraph->Image().copy();
    g->picGraph_MouseDown(70.0);
    g->picGraph_MouseDown(40.6);
    g->picGraph_MouseDown(12.2); // the first marker disappears
    EXPECT_TRUE(g->cmdZoom->isEnabled());
    g->picGraph_MouseDown(40.6);
    g->picGraph_MouseDown(12.2);
    g->picGraph_MouseDown(40.6);
    g->picGraph_MouseDown(12.2); // markers at 40.6 and 12.2 only, drawn an even number of times
    EXPECT_NE(g->picGraph->Image(), plotted);
    g->cmdZoom_Click();
    EXPECT_EQ(g->View.FirstPos(), 12);
    EXPECT_EQ(g->View.LastPos(), 41);
    EXPECT_FALSE(g->cmdZoom->isEnabled());
    EXPECT_TRUE(g->cmdReset->isEnabled());
    for (int press = 0; press < 3; ++press) { // Left held at the start of the zoom
        g->Form_KeyDown(37);
        EXPECT_EQ(g->CurrentPosition(), 12);
    }
    EXPECT_EQ(g->lblValue->text(), "1.2");
    g->picGraph_MouseMove(1e9);
    EXPECT_EQ(g->CurrentPosition(), 41) << "the pointer counts from the view's first sample";
    zoom(3.0, 5.0); // markers count from the view's first sample too
    EXPECT_EQ(g->View.FirstPos(), 14);
    EXPECT_EQ(g->View.LastPos(), 16);
    zoom(2.0, 2.2);
    EXPECT_EQ(g->View.ViewCount(), 2) << "one sample widens to two";
    g->cmdReset_Click();
    g->picGraph_MouseDown(25.5);
    g->cmdZoom_Click();
    EXPECT_EQ(g->View.LastPos(), 26) << "one marker: from the first sample to it";
    EXPECT_EQ(g->View.FirstPos(), 1);
    g->cmdReset_Click();
    EXPECT_EQ(g->View.ViewCount(), 100);
    EXPECT_FALSE(g->cmdZoom->isEnabled());
    EXPECT_FALSE(g->cmdReset->isEnabled());
}

TEST_F(GrapherTest, SignFilterCyclesWithTitleSuffixesAndAcLogsArePositiveOnly) {
    open(make("run.qmx", Ramp(9, [](int k) { return float(k - 4); })));
    g->cmdPlusMinus_Click();
    EXPECT_EQ(g->View.SignFilter, "positive");
    EXPECT_EQ(g->lblTitle->text(), "DC  V - Positive Values Only!");
    EXPECT_EQ(g->lblMin->text(), "0");
    g->cmdPlusMinus_Click();
    EXPECT_EQ(g->lblTitle->text(), "DC  V - Negative Values Only!");
    EXPECT_EQ(g->lblMax->text(), "0");
    zoom(2.0, 8.0);
    EXPECT_EQ(g->View.SignFilter, "negative");
    EXPECT_EQ(g->lblTitle->text(), "DC  V") << "a zoom writes the title without the suffix";
    g->cmdPlusMinus_Click();
    EXPECT_EQ(g->View.SignFilter, "both");
    // A log of one sign cycles through that sign only.
    open(make("positive.qmx", Ramp(5, rise)));
    g->cmdPlusMinus_Click();
    EXPECT_EQ(g->View.SignFilter, "positive");
    g->cmdPlusMinus_Click();
    EXPECT_EQ(g->View.SignFilter, "both");
    open(make("negative.qmx", Ramp(5, [](int k) { return float(1 - k); }))); // 0 at most
    g->cmdPlusMinus_Click();
    EXPECT_EQ(g->View.SignFilter, "negative");
    std::vector<LogSample> ac = Ramp(10, ramp100);
    for (LogSample& s : ac) {
        s.type = "AC";
    }
    open(make("ac.qmx", ac));
    EXPECT_EQ(g->View.SignFilter, "positive");
    EXPECT_FALSE(g->cmdPlusMinus->isEnabled());
    EXPECT_EQ(g->lblMin->text(), "0");
}

TEST_F(GrapherTest, OpenFromTheWindowShowsTheNewLogWithNoStaleReadoutAndCancelChangesNothing) {
    open(make("first.qmx", Ramp(10, ramp100)));
    g->picGraph_MouseMove(3.0);
    g->cmdOpen_Click(); // cancelled
    EXPECT_EQ(g->lblValue->text(), "0.3");
    EXPECT_EQ(g->lblFileName->text(), "Filename: first.qmx");
    EXPECT_TRUE(dialogs.boxes.empty());
    std::vector<LogSample> mixed = Ramp(10, ramp100);
    mixed[3].type = "AC";
    const QString copy = logs.filePath("first.mdb");
    MakeLog(copy, mixed, "3/7/2026", "copy");
    dialogs.files.push_back(copy);
    g->cmdOpen_Click();
    EXPECT_EQ(g->lblFileName->text(), "Filename: first.mdb");
    EXPECT_EQ(g->lblDate->text(), QLocale().toString(QDate(2026, 3, 7), QLocale::LongFormat));
    for (const QLabel* readout : {g->lblTS, g->lblType, g->lblUnits, g->lblValue, g->lbldBu}) {
        EXPECT_EQ(readout->text(), "") << qPrintable(readout->objectName());
    }
    EXPECT_EQ(g->lblTitle->text(), "Mixed Data Types");
    EXPECT_FALSE(g->mnuCAccess->isEnabled());
}

// Return stores an edited comment, cut at 255 characters, and the folder; closing by the
// frame stores nothing. Return leaves a log whose comment was not edited as it was, byte for
// byte: a null or a longer stored comment stays, and a log's triggers never run.
TEST_F(GrapherTest, ReturnStoresOnlyAnEditedCommentAndLeavesAnUneditedLogAsItWas) {
    const QString path = make("run.qmx", Ramp(10, ramp100));
    open(path);
    g->txtComment->setText(QString(300, 'k'));
    EXPECT_EQ(g->txtComment->text().size(), 255);
    g->close();
    EXPECT_EQ(LogDocument(path).Description(), "bench");
    open(path);
    g->txtComment->setText("calibrated");
    g->cmdReturn_Click();
    EXPECT_EQ(w->Grapher, nullptr);
    EXPECT_EQ(LogDocument(path).Description(), "calibrated");
    EXPECT_EQ(SettingsStore().Read("DataFilePath", ""), logs.path());
    const struct {
        const char* name;
        NullableText description;
        const char* sql; // run on the made log
    } cases[] = {{"null.qmx", std::nullopt, ""},
                 {"long.qmx", "bench",
                  "PRAGMA ignore_check_constraints = 1; UPDATE Info SET Description = "
                  "printf('%.300c', 'c')"},
                 {"trap.qmx", "bench",
                  "CREATE TRIGGER trap AFTER UPDATE ON Info BEGIN DELETE FROM LogData; END"}};
    for (const auto& c : cases) {
        const QString log = make(c.name, Ramp(10, ramp100), c.description);
        SqliteDb(log, SqliteDb::Mode::ReadWrite).Exec(c.sql);
        const QByteArray before = ContentsOf(log);
        ASSERT_NE(open(log), nullptr) << c.name;
        const bool trap = QString(c.name) == "trap.qmx";
        EXPECT_EQ(g->txtComment->isReadOnly(), trap) << c.name;
        EXPECT_EQ(g->txtComment->toolTip().contains("Holds Triggers"), trap) << c.name;
        g->cmdReturn_Click();
        EXPECT_EQ(ContentsOf(log), before) << c.name;
    }
    EXPECT_TRUE(dialogs.boxes.empty());
}

// A log cut short behind the open window: a command that reads it shows one box, the second
// time none, and the window stays.
TEST_F(GrapherTest, ReadFailuresShowAMessageOnceAndTheProgramKeepsRunning) {
    const std::pair<const char*, void (*)(frmGrapher&)> handlers[] = {
        {"MouseMove",
         [](frmGrapher& g) {
             QMouseEvent move(QEvent::MouseMove, QPointF(30, 30),
                              g.picGraph->mapToGlobal(QPointF(30, 30)), Qt::NoButton, Qt::NoButton,
                              Qt::NoModifier);
             QApplication::sendEvent(g.picGraph, &move);
         }},
        {"RightKey", [](frmGrapher& g) { g.Form_KeyDown(39); }},
        {"Zoom", [](frmGrapher& g) { g.cmdZoom->click(); }},
        {"Reset", [](frmGrapher& g) { g.cmdReset->click(); }},
        {"PlusMinus", [](frmGrapher& g) { g.cmdPlusMinus->click(); }}};
    for (const auto& [name, act] : handlers) {
        SCOPED_TRACE(name);
        const QString path = make(QString(name) + ".qmx", Ramp(100, ramp100));
        open(path);
        g->picGraph_MouseDown(40.0);
        QFile::resize(path, 0);
        dialogs.boxes.clear();
        act(*g);
        act(*g);
        ASSERT_EQ(dialogs.boxes.size(), 1u);
        EXPECT_EQ(dialogs.boxes[0].title, "Log File Read Error!");
        EXPECT_TRUE(dialogs.boxes[0].text.contains(path));
        EXPECT_EQ(w->Grapher.get(), g);
        EXPECT_TRUE(g->isVisible());
    }
}

// Both exports from a zoomed view write the whole log and leave the view as it was, shown
// again exactly by a later redraw; the Access copy opens again like the log.
TEST_F(GrapherTest, ExportsFromAZoomedViewWriteTheWholeLogAndKeepTheView) {
    std::vector<LogSample> samples = Ramp(30, rise);
    samples[3] = {std::nullopt, "OH", std::nullopt, std::nullopt, "11:59:59 PM"};
    samples[4] = {0.775f, "AC", "mV", -0.01f, "12:00:00 AM"};
    open(make("run1.qmx", samples, "original, \"µ\""));
    zoom(10, 20);
    const QImage zoomed = g->picGraph->Image().copy();
    g->mnuCDelimited->trigger();
    g->mnuCAccess->trigger();
    ASSERT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_EQ(dialogs.boxes[0].title, ".CSV File Creation Successful!");
    EXPECT_EQ(dialogs.boxes[0].text,
              "Comma Separated Values File Creation Successful!\r\nFile is in the same Folder as "
              "the .qmx File\r\n\r\nPress 'OK' to Continue...\r\n\r\n");
    EXPECT_EQ(dialogs.boxes[1].title, "Access Database File Creation Successful!");
    EXPECT_EQ(dialogs.boxes[1].text,
              "Access File Created Successfully!\r\nFile is in the same Folder as the .qmx "
              "File\r\n\r\nPress 'OK' to Continue...\r\n\r\n");
    EXPECT_EQ(ContentsOf(logs.filePath("run1.csv")).count('\n'), 31);
    EXPECT_EQ(g->lblDate->text(), kLongDate);
    EXPECT_EQ(g->picGraph->Image(), zoomed);
    g->cmdPlusMinus->click();
    EXPECT_EQ(g->View.FirstPos(), 10);
    EXPECT_EQ(g->View.LastPos(), 20);
    EXPECT_EQ(g->View.ViewCount(), 11);
    EXPECT_EQ(g->lblMaxVal->text(), "+20.00");
    EXPECT_EQ(g->picGraph->PixelAt(1, 10.0), kRed);
    EXPECT_EQ(g->picGraph->PixelAt(11, 20.0), kRed);
    // The checker and mdbtools judge the file in AccessExport's table; here it opens again.
    dialogs.files.push_back(logs.filePath("run1.mdb"));
    g->cmdOpen_Click();
    EXPECT_EQ(g->View.ViewCount(), 30);
    EXPECT_EQ(g->txtComment->text(), "original, \"µ\"");
    EXPECT_FALSE(g->mnuCAccess->isEnabled());
}

// Exports from the window that cannot be written: their box, every file left as it was.
// A CSV error offers Retry, which tries again, and Cancel, which closes the window; a failed
// Access copy leaves the log closed and the graph cleared, the window's commands idle.
TEST_F(GrapherTest, ExportRefusalsShowTheirMessageAndLeaveEveryFileAsItWas) {
    const struct {
        const char* log;
        const char* readOnly; // an earlier export the user may not write, or none
        bool csv;
        QString text; // the box's text first
    } cases[] = {{"a/run1.qmx", "a/run1.mdb", false, "Convert Operation Failed!\r\n\r\n"},
                 {"c/run.csv", nullptr, true, "File or Media is Write Protected...\r\n\r\n"},
                 // The log stays open, its folder is gone.
                 {"gone/run1.qmx", nullptr, true,
                  "File was not found. Check spelling or\r\nask for assistance.\r\n\r\n"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.log);
        const QString folder = logs.filePath(QString(c.log).section('/', 0, 0));
        ASSERT_TRUE(QDir().mkpath(folder));
        open(make(c.log, Ramp(5, rise)));
        if (c.readOnly != nullptr) {
            WriteFile(logs.filePath(c.readOnly), "an earlier export");
            QFile::setPermissions(logs.filePath(c.readOnly), QFile::ReadOwner | QFile::ReadGroup);
        }
        if (QString(c.log).startsWith("gone/")) {
            QDir(folder).removeRecursively();
        }
        const auto before = FilesIn(folder);
        dialogs.boxes.clear();
        dialogs.answers = {Dialogs::Answer::Retry, Dialogs::Answer::Cancel};
        c.csv ? g->mnuCDelimited_Click() : g->mnuCAccess_Click();
        EXPECT_EQ(FilesIn(folder), before);
        if (c.csv) {
            ASSERT_EQ(dialogs.boxes.size(), 2u) << "Retry tries again";
            EXPECT_EQ(dialogs.boxes[0].title, "CSV File Creation Error!");
            EXPECT_EQ(dialogs.boxes[0].buttons, Dialogs::Buttons::RetryCancel);
            EXPECT_EQ(dialogs.boxes[0].text,
                      c.text + "If the error has been corrected, click 'Retry',\r\notherwise "
                               "click 'Cancel'");
            EXPECT_EQ(dialogs.boxes[1].text, dialogs.boxes[0].text);
            EXPECT_EQ(w->Grapher, nullptr) << "Cancel closes the graph window";
            continue;
        }
        ASSERT_EQ(dialogs.boxes.size(), 1u);
        EXPECT_EQ(dialogs.boxes[0].title, "Copy to Access File Failed!");
        EXPECT_EQ(dialogs.boxes[0].text,
                  c.text + "Cannot continue....\r\n\r\nPress 'OK' to Exit.\r\n\r\n");
        EXPECT_EQ(g->Document(), nullptr);
        const QImage& image = g->picGraph->Image();
        EXPECT_EQ(CountPixels(image, image.rect(), [](const QColor& c) { return c != Qt::black; }),
                  0)
            << "the graph is cleared";
        g->cmdZoom_Click();
        g->cmdPlusMinus_Click();
        g->Form_KeyDown(39);
        g->picGraph_MouseMove(3.0);
    }
}

} // namespace
