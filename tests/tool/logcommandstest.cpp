#include "tests/support/logmaker.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace qmx;

namespace {

struct Result {
    int status;
    QString out;
    QString err;
};

// Runs qmxtool in folder (the current one when empty), its output going to outFile when given.
Result qmxtool(const QStringList& args, const QString& folder = {}, const QString& outFile = {}) {
    QProcess p;
    p.setWorkingDirectory(folder);
    if (!outFile.isEmpty()) {
        p.setStandardOutputFile(outFile);
    }
    p.start(QString(QMX_BIN_DIR) + "/qmxtool", args);
    p.waitForFinished(10000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

TEST(QmxtoolCsv, WritesNextToTheLogOrWhereAsked) {
    QTemporaryDir dir;
    const QString log = dir.filePath("run1.qmx");
    MakeLog(log, {{0.5f}, {-2.0f}});
    EXPECT_EQ(qmxtool({"csv", log}).status, 0);
    QFile csv(dir.filePath("run1.csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_EQ(csv.readAll(),
              "12/6/2026,bench\r\n9:00:00 AM,DC, V,0.5,\r\n9:00:00 AM,DC, V,-2,\r\n");
    EXPECT_EQ(qmxtool({"csv", log, "-o", dir.filePath("x.csv")}).status, 0);
    EXPECT_TRUE(QFile::exists(dir.filePath("x.csv")));
    const Result failed = qmxtool({"csv", log, "-o", dir.filePath("no/such/x.csv")});
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.err, "qmxtool csv: cannot export " + log + " to " +
                              dir.filePath("no/such/x.csv") + ": No such file or directory\n");
    const QByteArray original = [&] {
        QFile f(log);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    const Result ontoTheLog = qmxtool({"csv", log, "-o", log});
    EXPECT_EQ(ontoTheLog.status, 1);
    EXPECT_TRUE(ontoTheLog.err.endsWith(": the export would replace the log itself\n"))
        << qPrintable(ontoTheLog.err);
    QFile after(log);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), original);
}

// A fault is one line saying what failed and why, with a failing status; output that cannot
// be written is a fault too; a name starting with "-" is a name after "--".
TEST(Qmxtool, FaultsAreOneLineAndNamesAfterDoubleDashAreNames) {
    QTemporaryDir dir;
    MakeLog(dir.filePath("-run.qmx"), {{0.5f}});
    const QString notAPort = dir.filePath("-run.qmx");
    const struct {
        QStringList args;
        QString outFile;
        int status;
        QString err;
    } cases[] = {
        {{"info", "--", "-run.qmx"}, "", 0, ""},
        {{"csv", "--", "-run.qmx"}, "", 0, ""},
        {{"monitor", "--device", notAPort},
         "",
         1,
         "qmxtool monitor: " + notAPort + ": not a serial device (a regular file)\n"},
        {{"record", "--device", "-run.qmx", "--", "-new.qmx"},
         "",
         1,
         "qmxtool record: " + notAPort + ": not a serial device (a regular file)\n"},
        {{"info", "--", "-run.qmx"},
         "/dev/full",
         1,
         "qmxtool info: cannot write the output: No space left on device\n"},
        {{"csv", "--help"},
         "/dev/full",
         1,
         "qmxtool csv: cannot write the output: No space left on device\n"},
    };
    for (const auto& c : cases) {
        const Result r = qmxtool(c.args, dir.path(), c.outFile);
        EXPECT_EQ(r.status, c.status) << qPrintable(c.args.join(' '));
        EXPECT_EQ(r.err, c.err) << qPrintable(c.args.join(' '));
    }
    EXPECT_TRUE(QFile::exists(dir.filePath("-run.csv")));
}

TEST(QmxtoolInfo, TellsTheHeaderCountTimesAndTypes) {
    QTemporaryDir dir;
    const QString log = dir.filePath("run1.qmx");
    MakeLog(log,
            {{1.0f, "DC", " V", std::nullopt, "9:00:00 AM"},
             {std::nullopt, "OH", "Ohm", std::nullopt, "9:00:01 AM"},
             {2.0f, "DC", " V", std::nullopt, "9:00:02 AM"}},
            "12/6/2026", "a \"quoted\" note");
    EXPECT_EQ(qmxtool({"info", log, "--json"}).out,
              "{\"date\":\"12/6/2026\",\"description\":\"a \\\"quoted\\\" note\",\"samples\":3,"
              "\"firstTimeStamp\":\"9:00:00 AM\",\"lastTimeStamp\":\"9:00:02 AM\","
              "\"types\":[\"DC\",\"OH\"]}\n");
    const Result plain = qmxtool({"info", log});
    EXPECT_TRUE(plain.out.contains("Samples:     3"));
    EXPECT_TRUE(plain.out.contains("Types:       DC, OH"));
    QFile junk(dir.filePath("junk.qmx"));
    junk.open(QIODevice::WriteOnly);
    junk.write("not a log");
    junk.close();
    EXPECT_EQ(qmxtool({"info", dir.filePath("junk.qmx")}).status, 1);
}

TEST(QmxtoolInfo, ALogWithoutSamplesHasZeroSamples) {
    QTemporaryDir dir;
    const QString log = dir.filePath("empty.qmx");
    MakeLog(log, {});
    const Result plain = qmxtool({"info", log});
    EXPECT_EQ(plain.status, 0) << qPrintable(plain.err);
    EXPECT_EQ(plain.out, "Date:        12/6/2026\nDescription: bench\nSamples:     0\n"
                         "First:       \nLast:        \nTypes:       \n");
}

TEST(Qmxtool, HelpListsEveryCommandAndVersionPrintsTheVersion) {
    const Result help = qmxtool({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* command : {"decode", "monitor", "record", "csv", "info", "mdb", "import"}) {
        EXPECT_TRUE(help.out.contains(QString("\n  ") + command + " ")) << command;
    }
    const Result version = qmxtool({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "qmxtool 1.4\n");
    const Result recordHelp = qmxtool({"record", "--help"});
    EXPECT_EQ(recordHelp.status, 0);
    EXPECT_TRUE(recordHelp.out.contains("--duration <SECONDS>")) << qPrintable(recordHelp.out);
}

struct BadCall {
    QStringList args;
    const char* says;
    friend void PrintTo(const BadCall& c, std::ostream* os) { *os << qPrintable(c.args.join(' ')); }
};

class QmxtoolRefuses : public ::testing::TestWithParam<BadCall> {};

// Nothing is made or opened: the device does not exist and the log is not created.
TEST_P(QmxtoolRefuses, WithStatusTwoAndAMessageNamingTheMistake) {
    QTemporaryDir dir;
    QStringList args = GetParam().args;
    args.replaceInStrings("LOG", dir.filePath("run.qmx"));
    const Result r = qmxtool(args);
    EXPECT_EQ(r.status, 2) << qPrintable(r.err);
    EXPECT_TRUE(r.err.contains(GetParam().says)) << qPrintable(r.err);
    EXPECT_FALSE(QFile::exists(dir.filePath("run.qmx")));
}

const QString kDevice = "--device=/dev/no-such-meter-qmx";

INSTANTIATE_TEST_SUITE_P(
    Calls, QmxtoolRefuses,
    ::testing::Values(
        BadCall{{"record", kDevice, "--duration", "1e300", "LOG"}, "--duration 1e300: expected"},
        BadCall{{"record", "--port", "abc", "LOG"}, "--port abc: expected a port number"},
        BadCall{{"record", "--port", "9", "LOG"}, "--port 9: expected a port number"},
        BadCall{{"record", kDevice, "--interval", "fast", "LOG"}, "--interval fast: expected"},
        BadCall{{"record", kDevice, "--samples", "-3", "LOG"}, "--samples -3: expected"},
        BadCall{{"record", kDevice, "--samples", "2", "--duration", "5", "LOG"},
                "exclude each other"},
        BadCall{{"record", kDevice, "--comment", QString(256, 'c'), "LOG"},
                "256 characters, a log holds at most 255"},
        BadCall{{"record", "LOG"}, "--device or --port is needed"},
        BadCall{{"record", kDevice}, "missing LOG"},
        BadCall{{"monitor", "--port", "abc"}, "--port abc: expected"},
        BadCall{{"info"}, "missing LOG"}, BadCall{{"info", "LOG", "LOG"}, "unexpected argument"},
        BadCall{{"csv", "LOG", "--bogus"}, "Unknown option 'bogus'"},
        BadCall{{"decode", "extra"}, "unexpected argument extra"},
        BadCall{{"mdb", "LOG", "--output"}, "Missing value after '--output'"},
        BadCall{{"import", "LOG"}, "missing NEW"},
        BadCall{{"frobnicate"}, "unknown command frobnicate"}, BadCall{{}, "no command"}));

} // namespace
