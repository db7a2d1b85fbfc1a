#include "logging/sqlitedb.h"
#include "tests/support/logmaker.h"
#include "tests/support/simulatedmeter.h"

#include <QFile>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>

using namespace qmx;

namespace {

constexpr int kWaitMs = 15000;

class RecordTest : public ::testing::Test {
protected:
    SimulatedMeter sim{{"--profile", "cycle"}};
    QString log = sim.LinkPath() + ".qmx";
    QProcess p;

    void SetUp() override { ASSERT_TRUE(sim.Started()); }
    void record(const QStringList& extra) {
        p.start(QString(QMX_BIN_DIR) + "/qmxtool",
                QStringList{"record", "--device", sim.LinkPath(), "--interval", "0.5"} + extra +
                    QStringList{log});
    }
    QString integrity() {
        SqliteDb db(log, SqliteDb::Mode::ReadOnly);
        Statement s = db.Prepare("PRAGMA integrity_check");
        s.Step();
        return s.Column(0).toString();
    }
};

TEST_F(RecordTest, RecordsTheCountAskedForAndEveryRowWasSentByTheMeter) {
    record({"--samples", "4", "--comment", "bench"});
    ASSERT_TRUE(p.waitForFinished(kWaitMs));
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_TRUE(p.readAllStandardOutput().endsWith("4 samples\n"));
    const LogContents contents = ReadWholeLog(log);
    ASSERT_EQ(contents.samples.size(), 4u);
    EXPECT_EQ(contents.info.at(0).Description, "bench");
    // Each row holds the value of a line the simulator sent.
    const QStringList sent = sim.Sent();
    for (const LogRecord& r : contents.samples) {
        const QString type = r.Type.value_or("");
        const bool found = std::any_of(sent.begin(), sent.end(), [&](const QString& line) {
            return line.startsWith(type.left(2).toUpper()) &&
                   std::fabs(line.mid(3, 6).trimmed().toDouble() - r.Value.value_or(NAN)) < 1e-4;
        });
        EXPECT_TRUE(found) << qPrintable(type) << " " << r.Value.value_or(NAN);
    }
}

TEST_F(RecordTest, AnExistingLogIsRefusedWithTheCreationText) {
    QFile(log).open(QIODevice::WriteOnly);
    record({});
    ASSERT_TRUE(p.waitForFinished(kWaitMs));
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_EQ(QString(p.readAllStandardError()),
              "qmxtool record: cannot create " + log + ": the file already exists\n");
}

TEST_F(RecordTest, MonitorSaysNoCommAtOnceWhenTheDeviceGoesAndAgainWhenItIsBack) {
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

TEST_F(RecordTest, KilledMidRunLeavesASoundFileWithEveryReportedRow) {
    record({});
    QByteArray out;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            out += p.readAllStandardOutput();
            return out.count('\n') >= 3;
        },
        kWaitMs));
    ::kill(pid_t(p.processId()), SIGKILL);
    p.waitForFinished(kWaitMs);
    out += p.readAllStandardOutput();
    EXPECT_EQ(integrity(), "ok");
    EXPECT_GE(qsizetype(ReadWholeLog(log).samples.size()), out.count('\n'));
}

// A run that fails before its first sample takes back the file it made, so a retry is not
// refused by its own leftover.
TEST_F(RecordTest, AFailedRunWithoutSamplesLeavesNoFileBehind) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        QProcess p;
        p.start(QString(QMX_BIN_DIR) + "/qmxtool",
                {"record", "--device", sim.LinkPath() + "-unplugged", log});
        p.waitForFinished(kWaitMs);
        EXPECT_EQ(p.exitCode(), 1);
        EXPECT_FALSE(p.readAllStandardError().contains("Database Already Exists!"));
        EXPECT_FALSE(QFile::exists(log));
    }
}

} // namespace
