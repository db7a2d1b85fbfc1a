// qmxtool's commands run as the user runs them, and the simulated meter they are tried on.
#include "grapher/logdocument.h"
#include "grapher/viewstatistics.h"
#include "logging/sqlitedb.h"
#include "meter/meterlink.h"
#include "meter/meterreading.h"
#include "tests/support/logmaker.h"
#include "tests/support/ptypair.h"
#include "tests/support/simulatedmeter.h"
#include "tests/support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>

using namespace qmx;

namespace {

constexpr int kWaitMs = 15000;

struct Result {
    int status;
    QString out;
    QString err;
};

// Runs qmxtool in folder (the current one when empty) on the input given, its output going
// to outFile when given.
Result qmxtool(const QStringList& args, const QString& folder = {}, const QString& outFile = {},
               const QByteArray& input = {}) {
    QProcess p;
    p.setWorkingDirectory(folder);
    if (!outFile.isEmpty()) {
        p.setStandardOutputFile(outFile);
    }
    p.start(QString(QMX_BIN_DIR) + "/qmxtool", args);
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(kWaitMs);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

// Each call's status, message and output. The dBu level comes from five value
// characters, so " 0.77", not " 0.775"; a log without samples has zero samples and empty
// times. A fault is one line saying what failed and why; output that cannot be written is
// a fault too; a name starting with "-" is a name after "--". A run that fails before its
// first sample takes back the log it made, so a retry fails the same way.
TEST(Qmxtool, EachCallGivesItsStatusMessageAndOutput) {
    QTemporaryDir dir;
    MakeLog(dir.filePath("-run.qmx"), {{0.5f}});
    MakeLog(dir.filePath("empty.qmx"), {});
    MakeLog(dir.filePath("run1.qmx"),
            {{1.0f, "DC", " V", std::nullopt, "9:00:00 AM"},
             {std::nullopt, "OH", "Ohm", std::nullopt, "9:00:01 AM"},
             {2.0f, "DC", " V", std::nullopt, "9:00:02 AM"}},
            "12/6/2026", "a \"quoted\" note");
    const QString notAPort = dir.filePath("-run.qmx") + ": not a serial device (a regular file)\n";
    const QString full = ": cannot write the output: No space left on device\n";
    const struct {
        QStringList args;
        int status;
        QString err = {};
        std::optional<QString> out = {};
        QByteArray input = {};
        QString outFile = {};
    } calls[] = {
        {{"decode"},
         0,
         "",
         "{\"line\":\"AC  0.775 V\",\"modePrefix\":\"AC\",\"mode\":\"AC\",\"valueText\":\" 0.775\","
         "\"value\":0.775,\"units\":\"Volts\",\"isAcVolts\":true,\"acVolts\":0.77,"
         "\"dbuValid\":true,\"dbu\":-0.05169801}\n",
         "AC  0.775 V\n"},
        {{"decode"},
         0,
         "",
         "{\"line\":\"DC -1.234 V\",\"modePrefix\":\"DC\",\"mode\":\"DC\",\"valueText\":\"-1.234\","
         "\"value\":-1.234,\"units\":\"Volts\",\"isAcVolts\":false,\"acVolts\":null,"
         "\"dbuValid\":false,\"dbu\":null}\n",
         "DC -1.234 V\r\n"},
        {{"info", "run1.qmx", "--json"},
         0,
         "",
         "{\"date\":\"12/6/2026\",\"description\":\"a \\\"quoted\\\" note\",\"samples\":3,"
         "\"firstTimeStamp\":\"9:00:00 AM\",\"lastTimeStamp\":\"9:00:02 AM\","
         "\"types\":[\"DC\",\"OH\"]}\n"},
        {{"info", "empty.qmx"},
         0,
         "",
         "Date:        12/6/2026\nDescription: bench\nSamples:     0\nFirst:       \n"
         "Last:        \nTypes:       \n"},
        {{"--version"}, 0, "", "qmxtool 1.4\n"},
        {{"info", "--", "-run.qmx"}, 0},
        {{"csv", "--", "-run.qmx"}, 0},
        {{"monitor", "--device", "-run.qmx"}, 1, "qmxtool monitor: " + notAPort},
        {{"record", "--device", "-run.qmx", "--", "-new.qmx"}, 1, "qmxtool record: " + notAPort},
        {{"record", "--device", "-run.qmx", "--", "-new.qmx"}, 1, "qmxtool record: " + notAPort},
        {{"record", "--device", "-run.qmx", "--", "-run.qmx"},
         1,
         "qmxtool record: cannot create -run.qmx: the file already exists\n"},
        {{"info", "--", "-run.qmx"}, 1, "qmxtool info" + full, {}, {}, "/dev/full"},
        {{"csv", "--help"}, 1, "qmxtool csv" + full, {}, {}, "/dev/full"},
    };
    for (const auto& c : calls) {
        SCOPED_TRACE(qPrintable(c.args.join(' ')));
        const Result r = qmxtool(c.args, dir.path(), c.outFile, c.input);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.err, c.err);
        if (c.out) {
            EXPECT_EQ(r.out, *c.out);
        }
    }
    EXPECT_TRUE(QFile::exists(dir.filePath("-run.csv")));
    EXPECT_FALSE(QFile::exists(dir.filePath("-new.qmx")));
    const QStringList raw = qmxtool({"decode", "--raw"}, {}, {}, "DC 1\r\nDC 2\r").out.split('\n');
    ASSERT_EQ(raw.size(), 3) << "--raw splits at carriage returns only";
    EXPECT_TRUE(raw[1].startsWith("{\"line\":\"\\u000aDC 2\"")) << qPrintable(raw[1]);
    EXPECT_EQ(qmxtool({"info", dir.filePath("-run.csv")}).status, 1) << "a file that is no log";
}

// The statistics of a view as text and JSON; a mistake in the call ends with status 2, a
// file that cannot be read or written with status 1; each says why in one line.
TEST(QmxtoolGraphCommands, StatsPrintsTheViewAndFaultsSayWhatIsWrong) {
    QTemporaryDir dir;
    const QString log = dir.filePath("r.qmx");
    MakeLog(log, Ramp(50, [](int k) { return float(k % 7) - 2.5f; }));
    const Result text = qmxtool({"stats", log, "--from", "3", "--to", "40"});
    EXPECT_EQ(text.status, 0) << qPrintable(text.err);
    EXPECT_EQ(text.out, ViewStatistics::Of(LogDocument(log), 3, 40).Text());
    const QJsonObject json =
        QJsonDocument::fromJson(qmxtool({"stats", log, "--json", "--to", "1"}).out.toUtf8())
            .object();
    EXPECT_EQ(json["last"].toInt(), 1);
    const QJsonObject group = json["groups"].toArray().at(0).toObject();
    EXPECT_EQ(group["units"].toString(), " V");
    EXPECT_EQ(group["min"].toObject()["value"].toDouble(), -1.5);
    EXPECT_EQ(group["min"].toObject()["timeStamp"].toString(), "9:00:00 AM");
    EXPECT_TRUE(group["deviation"].isNull()) << "one sample";
    QFile notALog(dir.filePath("n.qmx"));
    ASSERT_TRUE(notALog.open(QIODevice::WriteOnly) && notALog.write("no log") == 6);
    notALog.close();
    const std::tuple<QStringList, int, QString> cases[] = {
        {{"stats", log, "--from", "0"}, 2, "--from 0: expected a sample position from 1 to 50"},
        {{"stats", log, "--to", "51"}, 2, "--to 51: expected a sample position from 1 to 50"},
        {{"stats", log, "--from", "9", "--to", "8"}, 2, "--to 8 is before --from 9"},
        {{"stats"}, 2, "missing LOG"},
        {{"plot", log}, 2, "-o OUT is needed"},
        {{"plot", log, "-o", dir.filePath("g.gif")}, 2, "must end in .png or .svg"},
        {{"stats", notALog.fileName()}, 1, "not a readable log"},
        {{"plot", log, "-o", log.chopped(3) + "svg", "--to", "60"}, 2, "--to 60: expected"},
        {{"plot", log, "-o", dir.filePath("no/g.svg")}, 1, "No such file or directory"},
    };
    for (const auto& [args, status, says] : cases) {
        SCOPED_TRACE(qPrintable(args.join(' ')));
        const Result r = qmxtool(args);
        EXPECT_EQ(r.status, status);
        EXPECT_TRUE(r.err.contains(says)) << qPrintable(r.err);
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"n.qmx", "r.qmx"}));
}

TEST(QmxtoolCsv, WritesNextToTheLogOrWhereAsked) {
    QTemporaryDir dir;
    const QString log = dir.filePath("run1.qmx");
    MakeLog(log, {{0.5f}, {-2.0f}});
    EXPECT_EQ(qmxtool({"csv", log}).status, 0);
    EXPECT_EQ(ContentsOf(dir.filePath("run1.csv")),
              "12/6/2026,bench\r\n9:00:00 AM,DC, V,0.5,\r\n9:00:00 AM,DC, V,-2,\r\n");
    EXPECT_EQ(qmxtool({"csv", log, "-o", dir.filePath("x.csv")}).status, 0);
    EXPECT_TRUE(QFile::exists(dir.filePath("x.csv")));
    const Result failed = qmxtool({"csv", log, "-o", dir.filePath("no/such/x.csv")});
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.err, "qmxtool csv: cannot export " + log + " to " +
                              dir.filePath("no/such/x.csv") + ": No such file or directory\n");
    const QByteArray original = ContentsOf(log);
    const Result ontoTheLog = qmxtool({"csv", log, "-o", log});
    EXPECT_EQ(ontoTheLog.status, 1);
    EXPECT_TRUE(ontoTheLog.err.endsWith(": the export would replace the log itself\n"))
        << qPrintable(ontoTheLog.err);
    EXPECT_EQ(ContentsOf(log), original);
}

// A run stops at the count asked for with the comment stored; a run killed after three
// reported rows leaves a sound log holding at least those rows.
TEST(QmxtoolRecord, StopsAtItsCountAndAKilledRunKeepsEveryReportedRow) {
    SimulatedMeter sim({"--profile", "cycle"});
    ASSERT_TRUE(sim.Started());
    const auto record = [&](QProcess& p, const QString& log, const QStringList& extra) {
        p.start(QString(QMX_BIN_DIR) + "/qmxtool",
                QStringList{"record", "--device", sim.LinkPath(), "--interval", "0.5"} + extra +
                    QStringList{log});
    };
    QProcess counted;
    record(counted, sim.LinkPath() + "-4.qmx", {"--samples", "4", "--comment", "bench"});
    ASSERT_TRUE(counted.waitForFinished(kWaitMs));
    EXPECT_EQ(counted.exitCode(), 0);
    const LogContents four = ReadWholeLog(sim.LinkPath() + "-4.qmx");
    EXPECT_EQ(four.samples.size(), 4u);
    EXPECT_EQ(four.info.at(0).Description, "bench");

    QProcess killed;
    const QString log = sim.LinkPath() + "-killed.qmx";
    record(killed, log, {});
    QByteArray out;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            out += killed.readAllStandardOutput();
            return out.count('\n') >= 3;
        },
        kWaitMs));
    ::kill(pid_t(killed.processId()), SIGKILL);
    killed.waitForFinished(kWaitMs);
    out += killed.readAllStandardOutput();
    SqliteDb db(log, SqliteDb::Mode::ReadOnly);
    Statement check = db.Prepare("PRAGMA integrity_check");
    check.Step();
    EXPECT_EQ(check.Column(0).toString(), "ok");
    EXPECT_GE(qsizetype(ReadWholeLog(log).samples.size()), out.count('\n'));

    // A daily log that cannot be made ends the run with status 1, so a service restarts it.
    QProcess daily;
    record(daily, log + "/logs", {"--daily"});
    ASSERT_TRUE(daily.waitForFinished(kWaitMs));
    EXPECT_EQ(daily.exitCode(), 1);
    EXPECT_EQ(QString(daily.readAllStandardError()),
              "qmxtool record: cannot make the folder " + log + "/logs\n");
}

TEST(QmxtoolMonitor, SaysNoCommAtOnceWhenTheDeviceGoesAndAgainWhenItIsBack) {
    SimulatedMeter sim({"--profile", "cycle"});
    ASSERT_TRUE(sim.Started());
    QProcess monitor;
    monitor.start(QString(QMX_BIN_DIR) + "/qmxtool", {"monitor", "--device", sim.LinkPath()});
    QByteArray out;
    const auto says = [&](const QString& text, int ms) {
        return QTest::qWaitFor(
            [&] {
                out += monitor.readAllStandardOutput();
                return out.contains(text.toUtf8());
            },
            ms);
    };
    ASSERT_TRUE(says("mode=", kWaitMs));
    sim.Unplug(); // the link stays, to a terminal that is gone
    EXPECT_TRUE(says("No Comm", 1000)) << out.constData();
    const SimulatedMeter again({"--profile", "cycle"}, sim.LinkPath());
    ASSERT_TRUE(again.Started());
    EXPECT_TRUE(says(sim.LinkPath() + " is back", kWaitMs)) << out.constData();
    monitor.terminate();
    monitor.waitForFinished(kWaitMs);
}

// Nothing is made or opened: the device does not exist and the log is not created.
TEST(Qmxtool, RefusesAWrongCallWithStatusTwoAndAMessageNamingTheMistake) {
    const QString device = "--device=/dev/no-such-meter-qmx";
    const std::pair<QStringList, const char*> calls[] = {
        {{"record", device, "--duration", "1e300", "LOG"}, "--duration 1e300: expected"},
        {{"record", "--port", "abc", "LOG"}, "--port abc: expected a port number"},
        {{"record", "--port", "9", "LOG"}, "--port 9: expected a port number"},
        {{"record", device, "--interval", "fast", "LOG"}, "--interval fast: expected"},
        {{"record", device, "--samples", "-3", "LOG"}, "--samples -3: expected"},
        {{"record", device, "--samples", "2", "--duration", "5", "LOG"}, "exclude each other"},
        {{"record", device, "--comment", QString(256, 'c'), "LOG"},
         "256 characters, a log holds at most 255"},
        {{"record", "LOG"}, "--device or --port is needed"},
        {{"record", device}, "missing LOG"},
        {{"monitor", "--port", "abc"}, "--port abc: expected"},
        {{"info"}, "missing LOG"},
        {{"info", "LOG", "LOG"}, "unexpected argument"},
        {{"csv", "LOG", "--bogus"}, "Unknown option 'bogus'"},
        {{"decode", "extra"}, "unexpected argument extra"},
        {{"mdb", "LOG", "--output"}, "Missing value after '--output'"},
        {{"import", "LOG"}, "missing NEW"},
        {{"frobnicate"}, "unknown command frobnicate"},
        {{}, "no command"}};
    QTemporaryDir dir;
    for (auto [args, says] : calls) {
        SCOPED_TRACE(qPrintable(args.join(' ').left(80)));
        args.replaceInStrings("LOG", dir.filePath("run.qmx"));
        const Result r = qmxtool(args);
        EXPECT_EQ(r.status, 2) << qPrintable(r.err);
        EXPECT_TRUE(r.err.contains(says)) << qPrintable(r.err);
        EXPECT_FALSE(QFile::exists(dir.filePath("run.qmx")));
    }
}

// Polled as the display tick polls, each profile answers lines of its mode that arrive
// through the port as sent (also with the top bit set, as a meter framed 7N2 sends them);
// AC volts carry a level near 0 dBu.
TEST(Simulator, EachProfileSendsLinesOfItsModeThatMatchTheTranscript) {
    // The simulator's arguments, the mode and the units of its lines.
    const std::tuple<const char*, const char*, const char*> profiles[] = {
        {"dcv", "DC", "Volts"}, {"acv", "AC", "Volts"}, {"acv --framing 7n2", "AC", "Volts"},
        {"acmv", "AC", " mV"},  {"ohm", "OH ", "Ohm"},  {"mohm", "OH ", "Mohm"},
        {"freq", "FR", "KHz"},  {"temp", "Temp", "  C"}};
    for (const auto& [args, mode, units] : profiles) {
        SCOPED_TRACE(args);
        SimulatedMeter sim(QString("--seed 7 --profile ").append(args).split(' '));
        EXPECT_EQ(sim.FirstLine(), sim.LinkPath());
        MeterLink link(PortOne(sim.LinkPath()));
        ASSERT_FALSE(link.OpenConfiguredPort().has_value());
        ASSERT_TRUE(QTest::qWaitFor([&] { return link.InputSettled(); }, kWaitMs));
        QStringList lines;
        QObject::connect(&link, &MeterLink::LineCompleted, [&] { lines << link.LastLine; });
        for (qsizetype want = 1; want <= 3; ++want) {
            link.SendPoll();
            ASSERT_TRUE(QTest::qWaitFor([&] { return lines.size() >= want; }, kWaitMs));
        }
        EXPECT_EQ(lines, sim.Sent());
        for (const QString& line : lines) {
            const MeterReading r = DecodeReading(line);
            EXPECT_EQ(r.Mode, mode) << qPrintable(line);
            if (r.Units != "") {
                EXPECT_EQ(r.Units, units) << qPrintable(line);
            }
            EXPECT_NE(r.Value, 0.0f) << qPrintable(line);
            EXPECT_EQ(r.DbuValid, r.IsAcVolts) << qPrintable(line);
            EXPECT_NEAR(r.IsAcVolts ? r.Dbu : 0.0, 0.0, 2.0) << qPrintable(line);
        }
    }
}

const QString kSimulator = QString(QMX_BIN_DIR) + "/qmx7300-sim";

// A path that is a file, or a link to one, is refused and left alone; of two simulators on
// one path, the one that exits first leaves the other's link, the last one removes it.
TEST(Simulator, PublishesItsPortOnlyWhereNoOtherFileIsAndRemovesOnlyItsOwnLink) {
    QTemporaryDir dir;
    QFile file(dir.filePath("notes"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("keep");
    file.close();
    ASSERT_TRUE(QFile::link(file.fileName(), dir.filePath("link")));
    for (const QString& path : {file.fileName(), dir.filePath("link")}) {
        QProcess sim;
        sim.start(kSimulator, {"--link", path});
        ASSERT_TRUE(sim.waitForFinished(kWaitMs));
        EXPECT_EQ(sim.exitCode(), 1);
        EXPECT_EQ(QString(sim.readAllStandardError()),
                  "qmx7300-sim: " + path +
                      " exists and is not a link to a terminal; it is left alone\n");
    }
    EXPECT_TRUE(QFileInfo(dir.filePath("link")).isSymLink());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "keep");

    const QString path = dir.filePath("meter");
    QProcess first;
    QProcess second;
    for (QProcess* sim : {&first, &second}) {
        sim->start(kSimulator, {"--link", path});
        ASSERT_TRUE(sim->waitForReadyRead(kWaitMs));
    }
    const QString secondTerminal = QFileInfo(path).symLinkTarget();
    first.terminate();
    ASSERT_TRUE(first.waitForFinished(kWaitMs));
    EXPECT_EQ(QFileInfo(path).symLinkTarget(), secondTerminal);
    second.terminate();
    ASSERT_TRUE(second.waitForFinished(kWaitMs));
    EXPECT_FALSE(QFileInfo(path).isSymLink());
}

} // namespace
