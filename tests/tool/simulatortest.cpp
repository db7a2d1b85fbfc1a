#include "meter/meterlink.h"
#include "meter/meterreading.h"
#include "tests/support/simulatedmeter.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace qmx;

namespace {

constexpr int kWaitMs = 5000;

// Polled as the display tick polls, each profile answers lines of its mode that arrive
// through the port as sent (also with the top bit set, as a meter framed 7N2 sends them);
// AC volts carry a level near 0 dBu.
TEST(Simulator, EachProfileSendsLinesOfItsModeThatMatchTheTranscript) {
    const struct {
        QStringList args;
        const char* mode;
        const char* units;
    } profiles[] = {{{"dcv"}, "DC", "Volts"},
                    {{"acv"}, "AC", "Volts"},
                    {{"acv", "--framing", "7n2"}, "AC", "Volts"},
                    {{"acmv"}, "AC", " mV"},
                    {{"ohm"}, "OH ", "Ohm"},
                    {{"mohm"}, "OH ", "Mohm"},
                    {{"freq"}, "FR", "KHz"},
                    {{"temp"}, "Temp", "  C"}};
    for (const auto& profile : profiles) {
        SCOPED_TRACE(qPrintable(profile.args.join(' ')));
        SimulatedMeter sim(QStringList{"--seed", "7", "--profile"} + profile.args);
        EXPECT_EQ(sim.FirstLine(), sim.LinkPath());
        PortMap map;
        map.SetDevice(1, sim.LinkPath());
        MeterLink link(map);
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
            EXPECT_EQ(r.Mode, profile.mode) << qPrintable(line);
            if (r.Units != "") {
                EXPECT_EQ(r.Units, profile.units) << qPrintable(line);
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
