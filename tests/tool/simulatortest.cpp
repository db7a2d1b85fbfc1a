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

// Polls the simulator n times, as the display tick does, and collects the lines.
QStringList pollLines(const QString& device, int n) {
    PortMap map;
    map.SetDevice(1, device);
    MeterLink link(map);
    EXPECT_FALSE(link.OpenConfiguredPort().has_value());
    EXPECT_TRUE(QTest::qWaitFor([&] { return link.InputSettled(); }, kWaitMs));
    QStringList lines;
    QObject::connect(&link, &MeterLink::LineCompleted, [&] { lines << link.LastLine; });
    for (int i = 0; i < n; ++i) {
        link.SendPoll();
        const qsizetype want = i + 1;
        EXPECT_TRUE(QTest::qWaitFor([&] { return lines.size() >= want; }, kWaitMs));
    }
    return lines;
}

struct ProfileCase {
    const char* profile;
    const char* mode;
    const char* units;
};

class SimulatorProfileTest : public ::testing::TestWithParam<ProfileCase> {};

TEST_P(SimulatorProfileTest, LinesDecodeToWhatTheMeterMeantAndMatchTheTranscript) {
    SimulatedMeter sim({"--profile", GetParam().profile, "--seed", "7"});
    EXPECT_EQ(sim.FirstLine(), sim.LinkPath());
    const QStringList lines = pollLines(sim.LinkPath(), 3);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines, sim.Sent());
    for (const QString& line : lines) {
        const MeterReading r = DecodeReading(line);
        EXPECT_EQ(r.Mode, GetParam().mode) << qPrintable(line);
        if (r.Units != "") {
            EXPECT_EQ(r.Units, GetParam().units) << qPrintable(line);
        }
        EXPECT_NE(r.Value, 0.0f) << qPrintable(line);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Profiles, SimulatorProfileTest,
    ::testing::Values(ProfileCase{"dcv", "DC", "Volts"}, ProfileCase{"acv", "AC", "Volts"},
                      ProfileCase{"acmv", "AC", " mV"}, ProfileCase{"ohm", "OH ", "Ohm"},
                      ProfileCase{"mohm", "OH ", "Mohm"}, ProfileCase{"freq", "FR", "KHz"},
                      ProfileCase{"temp", "Temp", "  C"}));

TEST(Simulator, AcVoltsLinesCarryADbuLevel) {
    SimulatedMeter sim({"--profile", "acv"});
    for (const QString& line : pollLines(sim.LinkPath(), 2)) {
        const MeterReading r = DecodeReading(line);
        EXPECT_TRUE(r.DbuValid) << qPrintable(line);
        EXPECT_NEAR(r.Dbu, 0.0, 2.0);
    }
}

TEST(Simulator, AMeterFramedSevenTwoIsReadThroughThePort) {
    SimulatedMeter sim({"--profile", "acv", "--framing", "7n2"});
    const QStringList lines = pollLines(sim.LinkPath(), 2);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines, sim.Sent());
    EXPECT_TRUE(DecodeReading(lines[0]).DbuValid) << qPrintable(lines[0]);
}

const QString kSimulator = QString(QMX_BIN_DIR) + "/qmx7300-sim";

TEST(Simulator, RefusesAPathThatIsNotALinkToATerminal) {
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
                      " exists and is not a link to a terminal; it is left "
                      "alone\n");
    }
    EXPECT_TRUE(QFileInfo(dir.filePath("link")).isSymLink());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "keep");
}

TEST(Simulator, OnExitRemovesOnlyTheLinkItMade) {
    QTemporaryDir dir;
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

TEST(Simulator, FallsSilentWhenAsked) {
    SimulatedMeter sim({"--profile", "dcv", "--silent-after", "0"});
    PortMap map;
    map.SetDevice(1, sim.LinkPath());
    MeterLink link(map);
    ASSERT_FALSE(link.OpenConfiguredPort().has_value());
    link.SendPoll();
    // A speaking simulator answers within about one line time (12 characters at 1200 baud).
    EXPECT_FALSE(QTest::qWaitFor(
        [&] { return !link.PendingLine.isEmpty() || !link.LastLine.isEmpty(); }, 500));
}

} // namespace
