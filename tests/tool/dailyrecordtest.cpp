// One log a day for a logger that runs for days: the switch at midnight, a name already
// taken, and a new log that cannot be made.
#include "display/readingmodel.h"
#include "logging/dailylog.h"
#include "logging/loggingrun.h"
#include "meter/meterlink.h"
#include "tests/support/fakes.h"
#include "tests/support/logmaker.h"
#include "tests/support/ptypair.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace qmx;

namespace {

constexpr int kWaitMs = 10000;

class DailyRecordTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString folder = dir.filePath("logs/ttyUSB0");
    PtyPair meter;
    MeterLink link{PortOne(meter.SlavePath())};
    FakeClock clock;
    ReadingModel reading;
    LoggingRun run{reading, [this] { return clock.time; }};
    DailyLog days{run, clock, folder, "bench"};
    QSignalSpy failed{&days, &DailyLog::Failed};

    void SetUp() override {
        clock.time = QTime(23, 59, 58);
        ASSERT_FALSE(link.OpenConfiguredPort().has_value());
        ASSERT_TRUE(QTest::qWaitFor([&] { return link.InputSettled(); }, kWaitMs));
        ASSERT_TRUE(days.Open());
    }

    // The meter sends the line; the run samples it at the clock's time.
    void sample(const QByteArray& line, QTime at, QDate on) {
        QSignalSpy spy(&link, &MeterLink::LineCompleted);
        meter.Write(line + "\r");
        ASSERT_TRUE(QTest::qWaitFor([&] { return spy.count() == 1; }, kWaitMs));
        reading.Take(link.LastLine);
        clock.time = at;
        clock.date = on;
        run.GetRowofData();
    }
    QString logOf(const QString& name) const { return QDir(folder).filePath(name); }
};

const QDate kDay{2026, 12, 6};
const QDate kNextDay{2026, 12, 7};

// The row sampled at midnight opens the new day's log and is its first; none is lost or
// doubled. A log of the new day's name from before (a restart) is left as it was.
TEST_F(DailyRecordTest, TheRowAtMidnightIsTheFirstOfTheNewDaysLog) {
    MakeLog(logOf("2026-12-07.qmx"), {{1.0f}}, "12/7/2026", "earlier run");
    sample("DC  1.001 V", {23, 59, 59}, kDay);
    sample("DC  1.002 V", {0, 0, 0}, kNextDay);
    sample("DC  1.003 V", {0, 0, 1}, kNextDay);
    EXPECT_EQ(failed.count(), 0);
    EXPECT_EQ(days.EarlierSamples(), 1);
    EXPECT_EQ(run.LogFilePath, logOf("2026-12-07-2.qmx"));
    run.Close();

    // Each log's date, comment and rows (time stamp and value).
    const std::pair<const char*, QString> expected[] = {
        {"2026-12-06.qmx", "12/6/2026 bench: 11:59:59 PM 1.001"},
        {"2026-12-07.qmx", "12/7/2026 earlier run: 9:00:00 AM 1"},
        {"2026-12-07-2.qmx", "12/7/2026 bench: 12:00:00 AM 1.002, 12:00:01 AM 1.003"}};
    for (const auto& [name, rows] : expected) {
        const LogContents log = ReadWholeLog(logOf(name));
        ASSERT_EQ(log.info.size(), 1u) << name;
        QStringList seen;
        for (const LogRecord& r : log.samples) {
            seen << r.TimeStamp.value_or("") + " " + QString::number(r.Value.value_or(-1));
        }
        EXPECT_EQ(log.info[0].Date.value_or("") + " " + log.info[0].Description.value_or("") +
                      ": " + seen.join(", "),
                  rows);
    }
}

// The folder is gone at midnight (a medium pulled): the run ends with a message naming the
// log it could not make, and the day before keeps its rows.
TEST_F(DailyRecordTest, ANewLogThatCannotBeMadeEndsTheRun) {
    sample("DC  2.001 V", {23, 59, 59}, kDay);
    ASSERT_TRUE(QDir().rename(folder, folder + ".pulled"));
    QFile blocker(folder);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    sample("DC  2.002 V", {0, 0, 0}, kNextDay);
    ASSERT_EQ(failed.count(), 1);
    EXPECT_EQ(failed[0][0].toString(),
              "cannot create " + logOf("2026-12-07.qmx") + ": Not a directory");
    EXPECT_FALSE(run.LoggingActive);
    EXPECT_EQ(ReadWholeLog(folder + ".pulled/2026-12-06.qmx").samples.size(), 1u);
}

} // namespace
