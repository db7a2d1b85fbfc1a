#include "tests/support/logmaker.h"
#include "tests/support/mainwindowfixture.h"
#include "tests/support/pixels.h"

#include "grapher/accessexport.h"
#include "grapher/csvexport.h"
#include "grapher/frmgrapher.h"
#include "grapher/logcopy.h"
#include "grapher/logdocument.h"
#include "logging/dberror.h"
#include "ui/picturebox.h"

#include <QAction>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>

#include <gtest/gtest.h>

#include <clocale>
#include <map>
#include <unistd.h>

using namespace qmx;

namespace {

QByteArray contentsOf(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

// Every file of a folder with its bytes (through links), but one.
std::map<QString, QByteArray> filesIn(const QString& folder, const QString& except = {}) {
    std::map<QString, QByteArray> files;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (name != except) {
            files[name] = contentsOf(folder + "/" + name);
        }
    }
    return files;
}

class CsvFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString log = dir.filePath("run1.qmx");
};

TEST_F(CsvFileTest, ThreeSamplesGiveFourLinesInThePlainLayout) {
    MakeLog(log,
            {{0.5f, "AC", " V", 2.5f, "9:00:00 AM"},
             {-1.25f, "DC", " V", std::nullopt, "9:00:01 AM"},
             {std::nullopt, "OH", "Ohm", std::nullopt, "9:00:02 AM"}},
            "12/6/2026", "");
    CsvExport exporter(log, CsvExport::TargetFor(log));
    exporter.Run();
    EXPECT_EQ(contentsOf(dir.filePath("run1.csv")), "12/6/2026,\r\n"
                                                    "9:00:00 AM,AC, V,0.5,2.5\r\n"
                                                    "9:00:01 AM,DC, V,-1.25,\r\n"
                                                    "9:00:02 AM,OH,Ohm,,\r\n");
}

TEST_F(CsvFileTest, LargeAndTinyNumbersTakeTheExponentForm) {
    MakeLog(log, {{12345678.0f}, {0.00001f}, {0.0001f}, {1234567.0f}});
    CsvExport(log, dir.filePath("out.csv")).Run();
    const QList<QByteArray> lines = contentsOf(dir.filePath("out.csv")).split('\n');
    EXPECT_TRUE(lines[1].contains(",1.234568E+07,"));
    EXPECT_TRUE(lines[2].contains(",1E-05,"));
    EXPECT_TRUE(lines[3].contains(",0.0001,"));
    EXPECT_TRUE(lines[4].contains(",1234567,"));
}

TEST_F(CsvFileTest, OddTextsAreQuotedAndTheLocaleNeverChangesTheDecimalPoint) {
    MakeLog(log, {{3.25f}}, "12/6/2026", "rail, \"5 V\"\r\nsecond line");
    const std::string before = std::setlocale(LC_ALL, nullptr);
    std::setlocale(LC_ALL, "de_DE.UTF-8");
    const QLocale qtBefore;
    QLocale::setDefault(QLocale(QLocale::German));
    CsvExport(log, dir.filePath("out.csv")).Run();
    QLocale::setDefault(qtBefore);
    std::setlocale(LC_ALL, before.c_str());
    EXPECT_EQ(contentsOf(dir.filePath("out.csv")),
              "12/6/2026,\"rail, \"\"5 V\"\"\r\nsecond line\"\r\n9:00:00 AM,DC, V,3.25,\r\n");
}

TEST_F(CsvFileTest, AMissingFolderIsFileNotFoundAndRetryResumes) {
    MakeLog(log, {{1.0f}});
    const QString out = dir.filePath("later/out.csv");
    CsvExport exporter(log, out);
    int code = 0;
    try {
        exporter.Run();
    } catch (const DbError& e) {
        code = e.Code;
    }
    EXPECT_EQ(code, DbError::kFileNotFound);
    QDir().mkpath(dir.filePath("later"));
    exporter.Run();
    EXPECT_EQ(contentsOf(out), "12/6/2026,bench\r\n9:00:00 AM,DC, V,1,\r\n");
}

TEST_F(CsvFileTest, CopyIsExactAndNeverOntoItself) {
    MakeLog(log, {{1.0f}, {2.0f}});
    const QByteArray original = contentsOf(log);
    QFile(dir.filePath("run1.mdb")).open(QIODevice::WriteOnly); // an old copy is replaced
    CopyLogFile(log, AccessCopyName(log));
    EXPECT_EQ(contentsOf(dir.filePath("run1.mdb")), original);
    EXPECT_THROW(CopyLogFile(log, log), DbError);
    EXPECT_THROW(CopyLogFile(log, dir.filePath("./run1.qmx")), DbError);
    EXPECT_EQ(contentsOf(log), original);
    EXPECT_EQ(LogDocument(dir.filePath("run1.mdb")).Count(), 2);
}

// An earlier export at a path, which the user may not write when read-only.
void earlierExport(const QString& path, bool readOnly = false) {
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write("an earlier export");
    if (readOnly) {
        f.setPermissions(QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    }
}

// A target the export must not write over, made beside the log.
struct Target {
    const char* name;
    const char* log;    // the log's file name
    const char* target; // the export's target
    void (*make)(const QString& log, const QString& target);
    int code = DbError::kPermissionDenied; // 0: any failure
};

class ExportTargets : public ::testing::TestWithParam<std::tuple<const char*, Target>> {};

TEST_P(ExportTargets, FailAndLeaveEveryFileAsItWas) {
    const auto& [kind, target] = GetParam();
    QTemporaryDir dir;
    const QString log = dir.filePath(target.log);
    const QString out = dir.filePath(target.target);
    MakeLog(log, Ramp(5, [](int k) { return float(k); }));
    target.make(log, out);
    const auto before = filesIn(dir.path());
    int code = 0;
    try {
        if (kind == std::string("csv")) {
            CsvExport(log, out).Run();
        } else if (kind == std::string("copy")) {
            CopyLogFile(log, out);
        } else {
            ExportAccessFile(log, out);
        }
    } catch (const DbError& e) {
        code = e.Code;
    }
    EXPECT_NE(code, 0) << "the export must fail";
    if (target.code != 0) {
        EXPECT_EQ(code, target.code);
    }
    EXPECT_EQ(filesIn(dir.path()), before) << "no file changed, none left behind";
}

const Target kRefusedTargets[] = {
    {"TheLogItself", "run.csv", "run.csv", [](auto&, auto&) {}},
    {"ALinkToTheLog", "run1.qmx", "out", [](auto& log, auto& out) { QFile::link(log, out); }},
    {"AHardLinkToTheLog", "run1.qmx", "out",
     [](auto& log, auto& out) { ASSERT_EQ(::link(qPrintable(log), qPrintable(out)), 0); }},
    {"AReadOnlyFile", "run1.qmx", "out", [](auto&, auto& out) { earlierExport(out, true); }},
};
// The copy reads no rows, so only the CSV export can fail half-way.
const Target kLogThatNoLongerReads{"AnEarlierExportOfALogThatNoLongerReads", "run1.qmx", "out",
                                   [](auto& log, auto& out) {
                                       earlierExport(out);
                                       QFile::resize(log, 0);
                                   },
                                   0};

std::string targetName(const ::testing::TestParamInfo<ExportTargets::ParamType>& info) {
    return std::string(std::get<0>(info.param)) + "_" + std::get<1>(info.param).name;
}

INSTANTIATE_TEST_SUITE_P(Both, ExportTargets,
                         ::testing::Combine(::testing::Values("csv", "copy", "access"),
                                            ::testing::ValuesIn(kRefusedTargets)),
                         targetName);
INSTANTIATE_TEST_SUITE_P(Csv, ExportTargets,
                         ::testing::Combine(::testing::Values("csv"),
                                            ::testing::Values(kLogThatNoLongerReads)),
                         targetName);

class ExportWindowTest : public MainWindowFixture {
protected:
    QTemporaryDir logs;
    frmGrapher* g = nullptr;

    void SetUp() override {
        MainWindowFixture::SetUp();
        ASSERT_TRUE(load());
    }
    void open(const QString& path) {
        dialogs.files.push_back(path);
        w->mnuOpen->trigger();
        g = w->Grapher.get();
        ASSERT_NE(g, nullptr);
    }
};

TEST_F(ExportWindowTest, CsvFromAZoomedViewWritesTheWholeLog) {
    const QString log = logs.filePath("run1.qmx");
    MakeLog(log, Ramp(50, [](int k) { return float(k); }));
    open(log);
    g->picGraph_MouseDown(10);
    g->picGraph_MouseDown(20);
    g->cmdZoom_Click();
    g->mnuCDelimited->trigger();
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].title, ".CSV File Creation Successful!");
    EXPECT_EQ(dialogs.boxes[0].text,
              "Comma Separated Values File Creation Successful!\r\nFile is in the same Folder as "
              "the .qmx File\r\n\r\nPress 'OK' to Continue...\r\n\r\n");
    EXPECT_EQ(contentsOf(logs.filePath("run1.csv")).count('\n'), 51);
    // The zoomed view stays, and a later redraw shows exactly it.
    g->cmdPlusMinus->click();
    EXPECT_EQ(g->View.FirstPos(), 10);
    EXPECT_EQ(g->View.LastPos(), 20);
    EXPECT_EQ(g->View.ViewCount(), 11);
    EXPECT_EQ(g->lblMaxVal->text(), "+20.00");
    EXPECT_EQ(g->picGraph->PixelAt(1, 10.0), QColor(255, 0, 0));
    EXPECT_EQ(g->picGraph->PixelAt(11, 20.0), QColor(255, 0, 0));
}

TEST_F(ExportWindowTest, CsvErrorOffersRetryThenCancelReturnsToTheMainWindow) {
    const QString folder = logs.filePath("gone");
    QDir().mkpath(folder);
    const QString log = folder + "/run1.qmx";
    MakeLog(log, Ramp(5, [](int k) { return float(k); }));
    open(log);
    QDir(folder).removeRecursively(); // the log stays open, its folder is gone
    dialogs.answers = {Dialogs::Answer::Retry, Dialogs::Answer::Cancel};
    g->mnuCDelimited->trigger();
    ASSERT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_EQ(dialogs.boxes[0].title, "CSV File Creation Error!");
    EXPECT_EQ(dialogs.boxes[0].buttons, Dialogs::Buttons::RetryCancel);
    EXPECT_EQ(dialogs.boxes[0].text,
              "File was not found. Check spelling or\r\nask for assistance.\r\n\r\nIf the error "
              "has been corrected, click 'Retry',\r\notherwise click 'Cancel'");
    EXPECT_EQ(w->Grapher, nullptr) << "Cancel closes the graph window";
}

// An export whose target may not be replaced, from the window.
struct Refusal {
    const char* log;
    const char* readOnly; // an earlier export the user may not write, or none
    void (frmGrapher::*command)();
    const char* title;
    const char* firstLine;
};

class ExportRefusals : public ExportWindowTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(ExportRefusals, ShowTheirMessageAndLeaveEveryFileAsItWas) {
    const QString log = logs.filePath(GetParam().log);
    MakeLog(log, Ramp(5, [](int k) { return float(k); }));
    if (GetParam().readOnly != nullptr) {
        earlierExport(logs.filePath(GetParam().readOnly), true);
    }
    const auto before = filesIn(logs.path(), GetParam().log);
    open(log);
    (g->*GetParam().command)();
    ASSERT_FALSE(dialogs.boxes.empty());
    EXPECT_EQ(dialogs.boxes[0].title, GetParam().title);
    EXPECT_TRUE(dialogs.boxes[0].text.startsWith(GetParam().firstLine))
        << qPrintable(dialogs.boxes[0].text);
    EXPECT_EQ(filesIn(logs.path(), GetParam().log), before);
    EXPECT_EQ(LogDocument(log).Count(), 5);
}

INSTANTIATE_TEST_SUITE_P(
    Targets, ExportRefusals,
    ::testing::Values(Refusal{"run1.qmx", "run1.mdb", &frmGrapher::mnuCAccess_Click,
                              "Copy to Access File Failed!", "Convert Operation Failed!"},
                      Refusal{"run1.qmx", "run1.csv", &frmGrapher::mnuCDelimited_Click,
                              "CSV File Creation Error!", "File or Media is Write Protected..."},
                      Refusal{"run.csv", nullptr, &frmGrapher::mnuCDelimited_Click,
                              "CSV File Creation Error!", "File or Media is Write Protected..."}));

TEST_F(ExportWindowTest, AccessCopyIsAnAccessDatabaseOfTheLogAndKeepsTheView) {
    const QString log = logs.filePath("run1.qmx");
    std::vector<LogSample> samples = Ramp(30, [](int k) { return float(k); });
    samples[3] = {std::nullopt, "OH", std::nullopt, std::nullopt, "11:59:59 PM"};
    samples[4] = {0.775f, "AC", "mV", -0.01f, "12:00:00 AM"};
    MakeLog(log, samples, "12/6/2026", "original, \"µ\"");
    open(log);
    g->picGraph_MouseDown(5);
    g->picGraph_MouseDown(15);
    g->cmdZoom_Click();
    const QImage zoomed = g->picGraph->Image().copy();
    g->mnuCAccess->trigger();
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].title, "Access Database File Creation Successful!");
    EXPECT_EQ(dialogs.boxes[0].text,
              "Access File Created Successfully!\r\nFile is in the same Folder as the .qmx "
              "File\r\n\r\nPress 'OK' to Continue...\r\n\r\n");
    EXPECT_EQ(g->lblDate->text(), QLocale().toString(QDate(2026, 12, 6), QLocale::LongFormat));
    EXPECT_EQ(g->View.ViewCount(), 11);
    EXPECT_EQ(g->picGraph->Image(), zoomed);
    // The checker and mdbtools judge the file in AccessExport's table; here it opens again.
    dialogs.files.push_back(logs.filePath("run1.mdb"));
    g->cmdOpen_Click();
    EXPECT_EQ(g->View.ViewCount(), 30);
    EXPECT_EQ(g->txtComment->text(), "original, \"µ\"");
    EXPECT_FALSE(g->mnuCAccess->isEnabled());
}

TEST_F(ExportWindowTest, ACopyOntoItselfFailsAndLeavesTheLogAndAClearedGraph) {
    const QString log = logs.filePath("run1.mdb");
    MakeLog(log, Ramp(30, [](int k) { return float(k); }));
    const QByteArray original = contentsOf(log);
    open(log);
    g->mnuCAccess_Click(); // the menu item is disabled for a ".mdb"; the handler still refuses
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].title, "Copy to Access File Failed!");
    EXPECT_EQ(dialogs.boxes[0].text,
              "Convert Operation Failed!\r\n\r\nCannot continue....\r\n\r\nPress 'OK' to "
              "Exit.\r\n\r\n");
    EXPECT_EQ(contentsOf(log), original);
    EXPECT_EQ(g->Document(), nullptr);
    const QImage& image = g->picGraph->Image();
    EXPECT_EQ(CountPixels(image, image.rect(), [](const QColor& c) { return c != Qt::black; }), 0)
        << "the graph is cleared";
    g->cmdZoom_Click(); // the other commands do nothing until a log is opened again
    g->cmdPlusMinus_Click();
    g->Form_KeyDown(39);
    g->picGraph_MouseMove(3.0);
}

} // namespace
