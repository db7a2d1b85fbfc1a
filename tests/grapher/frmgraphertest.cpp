#include "tests/support/jetcheck.h"
#include "tests/support/logmaker.h"
#include "tests/support/mainwindowfixture.h"
#include "tests/support/pixels.h"

#include "grapher/accessexport.h"
#include "grapher/csvexport.h"
#include "grapher/frmgrapher.h"
#include "grapher/logdocument.h"
#include "logging/logimport.h"
#include "logging/sqlitedb.h"
#include "platform/settingsstore.h"
#include "ui/picturebox.h"

#include <QAction>
#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

using namespace qmx;

namespace {

const QColor kRed(255, 0, 0);

QByteArray contentsOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class GrapherTest : public MainWindowFixture {
protected:
    QTemporaryDir logs;

    void SetUp() override {
        MainWindowFixture::SetUp();
        ASSERT_TRUE(load());
    }
    QString make(const QString& name, const std::vector<LogSample>& samples,
                 const QString& description = "bench") {
        const QString path = logs.filePath(name);
        MakeLog(path, samples, "12/6/2026", description);
        return path;
    }
    // Opens the file from the main window's menu.
    frmGrapher* open(const QString& path) {
        dialogs.files.push_back(path);
        w->mnuOpen->trigger();
        return w->Grapher.get();
    }
    static int redPixels(const frmGrapher& g) {
        const QImage& image = g.picGraph->Image();
        return CountPixels(image, image.rect(), [](const QColor& c) { return c == kRed; });
    }
};

float ramp100(int k) {
    return float(k) / 10.0f;
}

TEST_F(GrapherTest, OpensFromTheMainWindowWithNameDateCommentAndTitle) {
    const QString path = make("run1.qmx", Ramp(100, ramp100), "supply, 5 V rail");
    frmGrapher* g = open(path);
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(dialogs.fileRequests[0].Title, "Open Data File for Graphing....");
    EXPECT_EQ(dialogs.fileRequests[0].Filter, "QMX|*.qmx|MDB|*.mdb");
    EXPECT_EQ(w->GraphFilePath, path);
    EXPECT_EQ(g->windowTitle(), "QMX-7300 Data Graphing Module");
    EXPECT_EQ(g->lblFileName->text(), "Filename: run1.qmx");
    EXPECT_EQ(g->lblDate->text(), QLocale().toString(QDate(2026, 12, 6), QLocale::LongFormat));
    EXPECT_EQ(g->txtComment->text(), "supply, 5 V rail");
    EXPECT_EQ(g->lblTitle->text(), "DC  V");
    EXPECT_EQ(g->View.ViewCount(), 100);
    EXPECT_EQ(g->lblMax->text(), "10.00");
    EXPECT_EQ(g->lblMaxVal->text(), "+10.00");
    EXPECT_EQ(g->lblMinVal->text(), "+0.10");
    EXPECT_FALSE(g->cmdZoom->isEnabled());
    EXPECT_FALSE(g->cmdReset->isEnabled());
    EXPECT_TRUE(g->cmdPlusMinus->isEnabled());
    EXPECT_TRUE(g->mnuCAccess->isEnabled());
    EXPECT_EQ(g->picGraph->PixelAt(100, 10.0), kRed);
    EXPECT_EQ(g->picGraph->PixelAt(50, 5.0), kRed);
}

struct BadLog {
    const char* name;
    const char* firstLine;
};

class GrapherLoadErrors : public GrapherTest, public ::testing::WithParamInterface<BadLog> {};

TEST_P(GrapherLoadErrors, RefuseWithTheirMessageAndCloseTheWindow) {
    const QString path = logs.filePath("bad.qmx");
    const QString kind = GetParam().name;
    if (kind == "empty info") {
        MakeLog(path, Ramp(5, ramp100), "", "", false);
    } else if (kind == "no samples") {
        MakeLog(path, {});
    } else if (kind == "not a database") {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(QByteArray(4096, 'x'));
    } else if (kind == "no LogData") {
        SqliteDb db(path, SqliteDb::Mode::Create);
        db.Exec("CREATE TABLE Info (Date TEXT, Description TEXT)");
        db.Exec("INSERT INTO Info VALUES ('1/1/2026', '')");
    } else if (kind.startsWith("Access: ")) {
        const QString good = logs.filePath("good.qmx"), copy = logs.filePath("good.mdb");
        MakeLog(good, Ramp(1000, ramp100));
        ExportAccessFile(good, copy);
        for (const auto& [damage, bytes] : DamagedCopies(contentsOf(copy), 1000)) {
            if (damage == kind.mid(8)) {
                QFile f(path);
                ASSERT_TRUE(f.open(QIODevice::WriteOnly));
                f.write(bytes);
            }
        }
        ASSERT_TRUE(QFile::exists(path)) << qPrintable(kind);
    }
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(open(path), nullptr);
    EXPECT_LT(clock.elapsed(), 8000) << "no hang";
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].title, "Cannot Start Graphing Program!");
    EXPECT_TRUE(dialogs.boxes[0].text.startsWith(GetParam().firstLine)) << qPrintable(kind);
    EXPECT_TRUE(dialogs.boxes[0].text.endsWith("Press 'OK' to Exit.\r\n\r\n"));
    EXPECT_EQ(SettingsStore().Read("DataFilePath", ""), logs.path());
    EXPECT_TRUE(w->Link.IsOpen());
}

INSTANTIATE_TEST_SUITE_P(
    Files, GrapherLoadErrors,
    ::testing::Values(BadLog{"empty info",
                             "Database is not a valid .qmx file,\r\nor may be corrupted!"},
                      BadLog{"no samples", "Database is not a valid .qmx file,"},
                      BadLog{"not a database", "Unknown Error!\r\n\r\nCannot continue...."},
                      BadLog{"no LogData", "Unknown Error!"},
                      BadLog{"Access: truncated in a page", "Database is not a valid .qmx file,"},
                      BadLog{"Access: random bytes after the signature",
                             "Database is not a valid .qmx file,\r\nor may be corrupted!"},
                      BadLog{"Access: a huge row count", "Database is not a valid .qmx file,"}));

// What a user sees of a log through one pass of the window's commands: the graph, its
// labels and title, the readout at three places, a zoom, the sign filter and the CSV export.
QStringList seenThrough(frmGrapher& g, ScriptedDialogs& dialogs) {
    const auto picture = [&g] {
        const QImage& image = g.picGraph->Image();
        return QString(
            QCryptographicHash::hash(QByteArrayView(image.constBits(), image.sizeInBytes()),
                                     QCryptographicHash::Md5)
                .toHex());
    };
    const auto labels = [&g] {
        QStringList texts;
        for (const QLabel* l :
             {g.lblTitle, g.lblDate, g.lblMax, g.lblMidHigh, g.lblMid, g.lblMidLow, g.lblMin,
              g.lblMaxVal, g.lblMinVal, g.lblTS, g.lblType, g.lblUnits, g.lblValue, g.lbldBu}) {
            texts << l->text();
        }
        return texts.join('|');
    };
    const double n = g.View.ViewCount();
    QStringList seen{g.txtComment->text(), labels(), picture()};
    for (const double x : {1.0, n / 3, n}) {
        g.picGraph_MouseMove(x);
        seen << labels();
    }
    g.picGraph_MouseDown(n / 4);
    g.picGraph_MouseDown(n * 3 / 4);
    g.cmdZoom_Click();
    seen << QString("%1..%2").arg(g.View.FirstPos()).arg(g.View.LastPos()) << labels() << picture();
    g.cmdPlusMinus_Click();
    seen << g.View.SignFilter << labels() << picture();
    g.mnuCDelimited_Click();
    seen << dialogs.boxes.back().title;
    return seen;
}

// Each of the earlier version's logs, and a log of this program made from it: the window
// shows them alike, every sample as stored, the earlier one read-only.
class GrapherLegacyLogs : public GrapherTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(GrapherLegacyLogs, ShowWhatTheSameLogOfThisProgramShowsAndOpenReadOnly) {
    SKIP_WITHOUT_LEGACY_LOGS();
    const QString name = GetParam();
    const QJsonObject want = Jetcheck::Expected(name);
    const std::vector<LogRecord> rows = Jetcheck::Samples(want);
    const QString legacy = logs.filePath(name + ".qmx");
    ASSERT_TRUE(QFile::copy(Jetcheck::LegacyLogs() + "/" + name + ".qmx", legacy));
    QFile::setPermissions(legacy, QFile::ReadOwner | QFile::WriteOwner);
    ASSERT_TRUE(QDir(logs.path()).mkdir("sqlite"));
    const QString twin = logs.filePath("sqlite/" + name + ".qmx");
    ImportLog(legacy, twin);
    const QByteArray original = contentsOf(legacy);

    frmGrapher* g = open(legacy);
    if (rows.empty()) {
        ASSERT_EQ(g, nullptr);
        EXPECT_EQ(open(twin), nullptr);
        ASSERT_EQ(dialogs.boxes.size(), 2u);
        EXPECT_TRUE(dialogs.boxes[0].text.startsWith("Database is not a valid .qmx file,"));
        EXPECT_EQ(dialogs.boxes[0].text, dialogs.boxes[1].text);
        return;
    }
    ASSERT_NE(g, nullptr);
    ASSERT_EQ(g->Document()->Count(), qint32(rows.size()));
    for (qint32 p = 1; p <= g->Document()->Count(); ++p) {
        const LogDocument::Sample s = g->Document()->Read(p);
        const LogRecord& r = rows[size_t(p - 1)];
        ASSERT_TRUE(s.TimeStamp == r.TimeStamp.value_or("") && s.Type == r.Type.value_or("") &&
                    s.Units == r.Units.value_or("") && s.Value == SampleNumber(r.Value) &&
                    s.Dbu == SampleNumber(r.Dbu))
            << "sample " << p;
    }
    const QStringList seen = seenThrough(*g, dialogs);
    EXPECT_EQ(contentsOf(logs.filePath(name + ".csv")), CsvOf(Jetcheck::Info(want), rows));
    g->mnuCAccess_Click();
    EXPECT_EQ(dialogs.boxes.back().title, "Access Database File Creation Successful!");
    EXPECT_EQ(contentsOf(logs.filePath(name + ".mdb")), original) << "a copy byte for byte";
    // The comment cannot be edited, and Return stores nothing.
    EXPECT_TRUE(g->txtComment->isReadOnly());
    EXPECT_TRUE(g->txtComment->toolTip().contains("Read-Only"));
    g->txtComment->setFocus();
    QTest::keyClicks(g->txtComment, "edited");
    EXPECT_TRUE(g->txtComment->text() == Jetcheck::Info(want)[0].Description)
        << qPrintable(g->txtComment->text());
    const size_t boxes = dialogs.boxes.size();
    g->cmdReturn_Click();
    EXPECT_EQ(dialogs.boxes.size(), boxes) << "no message";
    EXPECT_EQ(w->Grapher, nullptr);
    EXPECT_EQ(contentsOf(legacy), original);

    frmGrapher* same = open(twin);
    ASSERT_NE(same, nullptr);
    EXPECT_FALSE(same->txtComment->isReadOnly());
    EXPECT_EQ(seenThrough(*same, dialogs), seen);
}

INSTANTIATE_TEST_SUITE_P(Samples, GrapherLegacyLogs, ::testing::ValuesIn(Jetcheck::kLegacyLogs),
                         [](const auto& info) {
                             return QString(info.param).remove('-').toStdString();
                         });

TEST_F(GrapherTest, LongLogsOpenWhole) {
    for (int n : {32766, 40000}) {
        const QString path = make(QString("long%1.qmx").arg(n),
                                  Ramp(n, [](int k) { return std::sin(k / 1000.0f) * 5.0f; }));
        frmGrapher* g = open(path);
        ASSERT_NE(g, nullptr) << n;
        EXPECT_EQ(g->View.ViewCount(), n);
        EXPECT_GT(redPixels(*g), 600) << "a trace across the whole width";
        g->Form_KeyDown(39);
        EXPECT_EQ(g->CurrentPosition(), n);
        g->close();
    }
}

// A value that cannot be drawn: none stored, infinite, beyond single range, or a text.
class GrapherUnusableValues : public GrapherTest,
                              public ::testing::WithParamInterface<const char*> {};

TEST_P(GrapherUnusableValues, AreGapsReadAsNAAndLeftOutOfTheExtremesAndTheCsv) {
    const QString path = make("gap.qmx", Ramp(10, [](int k) { return float(k); }));
    SqliteDb(path, SqliteDb::Mode::ReadWrite)
        .Exec(QString("UPDATE LogData SET Value = %1, dBu = %1 WHERE rowid IN (5, 10)")
                  .arg(GetParam()));
    frmGrapher* g = open(path);
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->lblMaxVal->text(), "+9.00");
    EXPECT_EQ(g->lblMinVal->text(), "+1.00");
    EXPECT_EQ(g->picGraph->PixelAt(4, 4.0), kRed);
    EXPECT_NE(g->picGraph->PixelAt(5, 5.0), kRed) << "the gap";
    g->picGraph_MouseMove(5.0);
    EXPECT_EQ(g->lblValue->text(), "NA");
    EXPECT_EQ(g->lbldBu->text(), "NA");
    CsvExport(path, logs.filePath("gap.csv")).Run();
    QFile csv(logs.filePath("gap.csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_EQ(csv.readAll().split('\n')[5], "9:00:00 AM,DC, V,,\r");
}

INSTANTIATE_TEST_SUITE_P(Stored, GrapherUnusableValues,
                         ::testing::Values("NULL", "9e999", "-9e999", "1e39", "'NaN'"));

TEST_F(GrapherTest, CursorFollowsKeysAndPointerWithOneCross) {
    std::vector<LogSample> samples = Ramp(100, ramp100);
    samples[7].dbu = 2.5f;
    frmGrapher* g = open(make("run.qmx", samples));
    ASSERT_NE(g, nullptr);
    const QImage plotted = g->picGraph->Image().copy();
    g->Form_KeyDown(39);
    EXPECT_EQ(g->CurrentPosition(), 100);
    g->Form_KeyDown(37);
    EXPECT_EQ(g->CurrentPosition(), 99);
    EXPECT_EQ(g->lblValue->text(), "9.9");
    g->picGraph_MouseMove(7.5);
    EXPECT_EQ(g->CurrentPosition(), 8);
    EXPECT_EQ(g->lbldBu->text(), "2.5");
    EXPECT_EQ(g->lblTS->text(), "9:00:00 AM");
    g->Form_KeyDown(39);
    EXPECT_EQ(g->CurrentPosition(), 9) << "the key steps from the sample under the pointer";
    g->picGraph_MouseMove(6.5);
    EXPECT_EQ(g->CurrentPosition(), 6);
    // Exactly one cross: removing it by drawing it again gives back the plotted picture.
    EXPECT_NE(g->picGraph->Image(), plotted);
    g->cmdReset_Click();
    EXPECT_EQ(g->picGraph->Image(), plotted) << "no cross after a redraw";
}

TEST_F(GrapherTest, HoldingLeftAtTheStartOfAZoomStaysThere) {
    frmGrapher* g = open(make("run.qmx", Ramp(100, ramp100)));
    g->picGraph_MouseDown(20.0);
    g->picGraph_MouseDown(40.0);
    g->cmdZoom_Click();
    for (int press = 0; press < 3; ++press) {
        g->Form_KeyDown(37);
        EXPECT_EQ(g->CurrentPosition(), 20);
    }
    EXPECT_EQ(g->lblValue->text(), "2");
}

TEST_F(GrapherTest, MarkersZoomAndReset) {
    frmGrapher* g = open(make("run.qmx", Ramp(100, ramp100)));
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
    EXPECT_EQ(g->View.ViewCount(), 30);
    EXPECT_FALSE(g->cmdZoom->isEnabled());
    EXPECT_TRUE(g->cmdReset->isEnabled());
    // A zoom inside the zoom takes the samples between the markers as seen.
    g->picGraph_MouseDown(3.0);
    g->picGraph_MouseDown(5.0);
    g->cmdZoom_Click();
    EXPECT_EQ(g->View.FirstPos(), 14);
    EXPECT_EQ(g->View.LastPos(), 16);
    g->picGraph_MouseDown(2.0);
    g->picGraph_MouseDown(2.2);
    g->cmdZoom_Click();
    EXPECT_EQ(g->View.ViewCount(), 2) << "one sample widens to two";
    g->cmdReset_Click();
    EXPECT_EQ(g->View.ViewCount(), 100);
    EXPECT_FALSE(g->cmdZoom->isEnabled());
    EXPECT_FALSE(g->cmdReset->isEnabled());
}

TEST_F(GrapherTest, SignFilterCyclesWithTitleSuffixes) {
    frmGrapher* g = open(make("run.qmx", Ramp(9, [](int k) { return float(k - 4); })));
    g->cmdPlusMinus_Click();
    EXPECT_EQ(g->View.SignFilter, "positive");
    EXPECT_EQ(g->lblTitle->text(), "DC  V - Positive Values Only!");
    EXPECT_EQ(g->lblMin->text(), "0");
    g->cmdPlusMinus_Click();
    EXPECT_EQ(g->lblTitle->text(), "DC  V - Negative Values Only!");
    EXPECT_EQ(g->lblMax->text(), "0");
    g->picGraph_MouseDown(2.0);
    g->picGraph_MouseDown(8.0);
    g->cmdZoom_Click();
    EXPECT_EQ(g->View.SignFilter, "negative");
    EXPECT_EQ(g->lblTitle->text(), "DC  V") << "a zoom writes the title without the suffix";
    g->cmdPlusMinus_Click();
    EXPECT_EQ(g->View.SignFilter, "both");
}

TEST_F(GrapherTest, AcLogsAreForcedPositive) {
    std::vector<LogSample> samples = Ramp(10, ramp100);
    for (LogSample& s : samples) {
        s.type = "AC";
    }
    frmGrapher* g = open(make("ac.qmx", samples));
    EXPECT_EQ(g->View.SignFilter, "positive");
    EXPECT_FALSE(g->cmdPlusMinus->isEnabled());
    EXPECT_EQ(g->lblMin->text(), "0");
}

TEST_F(GrapherTest, OneAndTwoSamples) {
    frmGrapher* g = open(make("one.qmx", Ramp(1, ramp100)));
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->lblMax->text(), "Max") << "labels keep their design captions";
    EXPECT_EQ(redPixels(*g), 1);
    g->picGraph_MouseMove(300.0);
    EXPECT_EQ(g->CurrentPosition(), 1);
    g->close();
    g = open(make("two.qmx", Ramp(2, [](int) { return 1.0f; })));
    EXPECT_EQ(g->picGraph->PixelAt(1, 1.0), kRed);
    EXPECT_EQ(g->picGraph->PixelAt(2, 1.0), kRed);
    EXPECT_EQ(g->picGraph->PixelAt(1.5, 1.0), kRed);
}

TEST_F(GrapherTest, OpenFromTheWindowShowsTheNewLogWithNoStaleReadoutAndCancelChangesNothing) {
    frmGrapher* g = open(make("first.qmx", Ramp(10, ramp100)));
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
    dialogs.files.push_back(logs.filePath("first.qmx"));
    g->cmdOpen_Click();
    EXPECT_EQ(g->lblTitle->text(), "DC  V");
    EXPECT_TRUE(g->mnuCAccess->isEnabled());
}

TEST_F(GrapherTest, OpeningFromTheMainWindowAgainLoadsIntoTheOpenWindow) {
    frmGrapher* g = open(make("a.qmx", Ramp(10, ramp100)));
    frmGrapher* again = open(make("b.qmx", Ramp(20, ramp100)));
    EXPECT_EQ(again, g);
    EXPECT_EQ(g->lblFileName->text(), "Filename: b.qmx");
    EXPECT_EQ(g->View.ViewCount(), 20);
}

TEST_F(GrapherTest, CommentIsCutAt255AndStoredOnlyByReturn) {
    const QString path = make("run.qmx", Ramp(10, ramp100));
    frmGrapher* g = open(path);
    g->txtComment->setText(QString(300, 'k'));
    EXPECT_EQ(g->txtComment->text().size(), 255);
    g->close(); // by the frame: not stored
    EXPECT_EQ(LogDocument(path).Description(), "bench");
    g = open(path);
    g->txtComment->setText("calibrated");
    g->cmdReturn_Click();
    EXPECT_EQ(w->Grapher, nullptr);
    EXPECT_EQ(LogDocument(path).Description(), "calibrated");
    EXPECT_EQ(SettingsStore().Read("DataFilePath", ""), logs.path());
}

TEST_F(GrapherTest, ReturnOnAReadOnlyLogSaysTheCommentWasNotSaved) {
    const QString path = make("run.qmx", Ramp(10, ramp100));
    if (geteuid() == 0) {
        GTEST_SKIP() << "root writes read-only files";
    }
    QFile::setPermissions(path, QFile::ReadOwner);
    frmGrapher* g = open(path);
    g->txtComment->setText("changed");
    g->cmdReturn_Click();
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].title, "Comment Not Saved!");
    EXPECT_EQ(w->Grapher, nullptr);
}

// Return leaves a log whose comment was not edited as it was, byte for byte: a null or a
// longer stored comment stays, and a log's triggers never run.
TEST_F(GrapherTest, ReturnWithoutAnEditLeavesTheLogAsItWas) {
    struct Case {
        const char* name;
        NullableText description;
        const char* sql; // run on the made log
    };
    for (const Case& c :
         {Case{"null.qmx", std::nullopt, nullptr},
          Case{"long.qmx", "bench",
               "PRAGMA ignore_check_constraints = 1; UPDATE Info SET Description = "
               "printf('%.300c', 'c')"},
          Case{"trap.qmx", "bench",
               "CREATE TRIGGER trap AFTER UPDATE ON Info BEGIN DELETE FROM LogData; END"}}) {
        const QString path = logs.filePath(c.name);
        MakeLog(path, Ramp(10, ramp100), "12/6/2026", c.description);
        if (c.sql != nullptr) {
            SqliteDb(path, SqliteDb::Mode::ReadWrite).Exec(c.sql);
        }
        const QByteArray before = contentsOf(path);
        frmGrapher* g = open(path);
        ASSERT_NE(g, nullptr) << c.name;
        const bool trap = QString(c.name) == "trap.qmx";
        EXPECT_EQ(g->txtComment->isReadOnly(), trap) << c.name;
        if (trap) {
            EXPECT_TRUE(g->txtComment->toolTip().contains("Holds Triggers")) << c.name;
        }
        g->cmdReturn_Click();
        EXPECT_EQ(contentsOf(path), before) << c.name;
    }
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(GrapherTest, AFileThatIsNoLogSaysWhyWhenItIsRefused) {
    const QString path = logs.filePath("folder.qmx");
    QDir().mkdir(path);
    EXPECT_EQ(open(path), nullptr);
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text, "Unknown Error!\r\n\r\nit is a folder, not a log file\r\n\r\n"
                                     "Cannot continue....\r\n\r\nPress 'OK' to Exit.\r\n\r\n");
}

TEST_F(GrapherTest, OpensCentredOnTheMainWindowsScreen) {
    frmGrapher* g = open(make("run.qmx", Ramp(10, ramp100)));
    const QRect screen = w->screen()->availableGeometry();
    constexpr int kFrameSide = 4; // the window is placed before its frame is known
    EXPECT_NEAR(g->frameGeometry().center().x(), screen.center().x(), kFrameSide);
    EXPECT_TRUE(screen.contains(g->frameGeometry().topLeft()));
}

struct ReadAfterOpen {
    const char* name;
    void (*act)(frmGrapher&);
};

class GrapherReadFailures : public GrapherTest,
                            public ::testing::WithParamInterface<ReadAfterOpen> {};

TEST_P(GrapherReadFailures, ShowAMessageOnceAndTheProgramKeepsRunning) {
    const QString path = make("run.qmx", Ramp(100, ramp100));
    frmGrapher* g = open(path);
    g->picGraph_MouseDown(40.0);
    QFile::resize(path, 0); // cut short behind the window
    GetParam().act(*g);
    GetParam().act(*g);
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].title, "Log File Read Error!");
    EXPECT_TRUE(dialogs.boxes[0].text.contains(path));
    EXPECT_EQ(w->Grapher.get(), g);
    EXPECT_TRUE(g->isVisible());
}

INSTANTIATE_TEST_SUITE_P(
    Handlers, GrapherReadFailures,
    ::testing::Values(ReadAfterOpen{"MouseMove",
                                    [](frmGrapher& g) {
                                        QMouseEvent move(QEvent::MouseMove, QPointF(30, 30),
                                                         g.picGraph->mapToGlobal(QPointF(30, 30)),
                                                         Qt::NoButton, Qt::NoButton,
                                                         Qt::NoModifier);
                                        QApplication::sendEvent(g.picGraph, &move);
                                    }},
                      ReadAfterOpen{"RightKey", [](frmGrapher& g) { g.Form_KeyDown(39); }},
                      ReadAfterOpen{"Zoom", [](frmGrapher& g) { g.cmdZoom->click(); }},
                      ReadAfterOpen{"Reset", [](frmGrapher& g) { g.cmdReset->click(); }},
                      ReadAfterOpen{"PlusMinus", [](frmGrapher& g) { g.cmdPlusMinus->click(); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(GrapherTest, HelpAndAbout) {
    frmGrapher* g = open(make("run.qmx", Ramp(10, ramp100)));
    g->mnuAbout->trigger();
    g->mnuContents->trigger();
    EXPECT_EQ(dialogs.boxes[0].title, "About QMX-7300 Serial Application Graphing");
    EXPECT_TRUE(dialogs.boxes[0].text.contains("which remains intact."));
    EXPECT_EQ(dialogs.boxes[1].title, "QMX-7300 Serial Application Graphing Help");
}

} // namespace
