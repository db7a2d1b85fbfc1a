#include "logging/logrowset.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <sqlite3.h>

namespace {

constexpr int kWaitMs = 15000;

class RecordTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QProcess sim;
    QString link = dir.filePath("meter");
    QString transcript = dir.filePath("sent.txt");
    QString log = dir.filePath("run.qmx");

    void SetUp() override {
        sim.start(QString(QMX_BIN_DIR) + "/qmx7300-sim",
                  {"--link", link, "--profile", "cycle", "--transcript", transcript});
        ASSERT_TRUE(sim.waitForReadyRead(kWaitMs));
    }
    void TearDown() override {
        sim.terminate();
        sim.waitForFinished(kWaitMs);
    }
    QStringList record(const QStringList& extra, int* status = nullptr) {
        QProcess p;
        p.start(QString(QMX_BIN_DIR) + "/qmxtool",
                QStringList{"record", "--device", link, "--interval", "0.5"} + extra +
                    QStringList{log});
        p.waitForFinished(kWaitMs);
        if (status != nullptr) {
            *status = p.exitCode();
        }
        return QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    }
    QStringList sentLines() {
        QFile f(transcript);
        f.open(QIODevice::ReadOnly);
        return QString::fromLatin1(f.readAll()).split('\n', Qt::SkipEmptyParts);
    }
    qint64 rowsInLog() {
        auto db = std::make_shared<SqliteDb>(log, SqliteDb::Mode::ReadOnly);
        return LogRowSet(db, "SELECT * FROM LogData").RecordCount();
    }
    QString integrity() {
        SqliteDb db(log, SqliteDb::Mode::ReadOnly);
        Statement s = db.Prepare("PRAGMA integrity_check");
        s.Step();
        return s.Column(0).toString();
    }
};

TEST_F(RecordTest, RecordsTheCountAskedForAndEveryRowWasSentByTheMeter) {
    int status = -1;
    const QStringList out = record({"--samples", "4", "--comment", "bench"}, &status);
    EXPECT_EQ(status, 0);
    ASSERT_FALSE(out.isEmpty());
    EXPECT_EQ(out.last(), "4 samples");
    EXPECT_EQ(rowsInLog(), 4);
    // Each row holds the value of a line the simulator sent.
    const QStringList sent = sentLines();
    auto db = std::make_shared<SqliteDb>(log, SqliteDb::Mode::ReadOnly);
    LogRowSet rows(db, "SELECT * FROM LogData");
    rows.Scan(1, 4, {"Type", "Value"}, [&](qint64, const std::vector<QVariant>& v) {
        const bool found = std::any_of(sent.begin(), sent.end(), [&](const QString& line) {
            return line.startsWith(v[0].toString().left(2).toUpper()) &&
                   std::fabs(line.mid(3, 6).trimmed().toFloat() - v[1].toFloat()) < 1e-4;
        });
        EXPECT_TRUE(found) << qPrintable(v[0].toString()) << " " << v[1].toFloat();
    });
    LogRowSet info(db, "SELECT * FROM Info");
    EXPECT_EQ(info.Field("Description").toString(), "bench");
}

TEST_F(RecordTest, AnExistingLogIsRefusedWithTheCreationText) {
    QFile(log).open(QIODevice::WriteOnly);
    QProcess p;
    p.start(QString(QMX_BIN_DIR) + "/qmxtool", {"record", "--device", link, log});
    p.waitForFinished(kWaitMs);
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_EQ(QString(p.readAllStandardError()),
              "qmxtool record: cannot create " + log + ": the file already exists\n");
}

TEST_F(RecordTest, MonitorSaysNoCommAtOnceWhenTheDeviceGoesAndAgainWhenItIsBack) {
    QProcess monitor;
    monitor.start(QString(QMX_BIN_DIR) + "/qmxtool", {"monitor", "--device", link});
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
    sim.kill(); // the link stays, to a terminal that is gone
    sim.waitForFinished(kWaitMs);
    EXPECT_TRUE(says("No Comm", 1000)) << out.constData();
    SetUp();
    EXPECT_TRUE(says(link + " is back", kWaitMs)) << out.constData();
    monitor.terminate();
    monitor.waitForFinished(kWaitMs);
}

TEST_F(RecordTest, KilledMidRunLeavesASoundFileWithEveryReportedRow) {
    QProcess p;
    p.start(QString(QMX_BIN_DIR) + "/qmxtool",
            {"record", "--device", link, "--interval", "0.5", log});
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
    EXPECT_GE(rowsInLog(), out.count('\n'));
}

// A run that fails before its first sample takes back the file it made, so a retry is not
// refused by its own leftover.
TEST_F(RecordTest, AFailedRunWithoutSamplesLeavesNoFileBehind) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        QProcess p;
        p.start(QString(QMX_BIN_DIR) + "/qmxtool",
                {"record", "--device", dir.filePath("no-such-meter"), log});
        p.waitForFinished(kWaitMs);
        EXPECT_EQ(p.exitCode(), 1);
        EXPECT_FALSE(p.readAllStandardError().contains("Database Already Exists!"));
        EXPECT_FALSE(QFile::exists(log));
    }
}

} // namespace
