// A careless world: garbage on the line, a meter unplugged mid-run, a log folder removed,
// a program killed mid-run, a settings file full of garbage.
#include "tests/support/logmaker.h"
#include "tests/support/mainwindowfixture.h"
#include "tests/support/simulatedmeter.h"

#include "grapher/frmgrapher.h"
#include "grapher/logdocument.h"
#include "logging/frmlogger.h"
#include "platform/settingsstore.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <random>

using namespace qmx;

namespace {

constexpr int kWaitMs = 15000;

using Faults = MainWindowFixture;

TEST_F(Faults, AMinuteOfGarbageKeepsMemoryBoundedAndTheDisplayAlive) {
    ASSERT_TRUE(load());
    std::mt19937 rng(3);
    std::uniform_int_distribution<int> byte(0, 255);
    // 1200 baud is 120 characters a second; the display ticks four times a second.
    for (int second = 0; second < 60; ++second) {
        for (int quarter = 0; quarter < 4; ++quarter) {
            for (int i = 0; i < 30; ++i) {
                w->Link.ReceiveCharacter(QChar::fromLatin1(char(byte(rng))));
            }
            tick();
            ASSERT_LE(w->Link.PendingLine.size(), MeterLink::kMaxLineLength);
            ASSERT_LE(w->Label1->text().size(), MeterLink::kMaxLineLength);
        }
    }
    for (const QChar c : QString("\rDC  1.234 V\r")) { // the garbage line ends first
        w->Link.ReceiveCharacter(c);
    }
    tick();
    EXPECT_EQ(w->Label1->text(), "DC  1.234 V");
    EXPECT_FLOAT_EQ(w->Reading.CurrentValue, 1.234f);
}

TEST_F(Faults, LongGarbageLinesFromTheSimulatorNeverStopTheDisplay) {
    SimulatedMeter sim({"--profile", "garbage"});
    ASSERT_TRUE(sim.Started());
    SettingsStore().Write("Com1Device", sim.LinkPath());
    ASSERT_TRUE(load());
    w->tmrDispUpdate.start();
    // Several long garbage lines arrive, and the display goes on ticking through them.
    QSignalSpy ticks(&w->tmrDispUpdate, &QTimer::timeout);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return sim.Sent().size() >= 3 && ticks.count() >= 8; }, kWaitMs));
    EXPECT_LE(w->Link.PendingLine.size(), MeterLink::kMaxLineLength);
    EXPECT_TRUE(w->tmrDispUpdate.isActive());
}

using UnpluggedMeter = Faults;

TEST_F(UnpluggedMeter, RowsResumeWhenItIsBackWithNothingLostAndNoStaleRows) {
    QTemporaryDir dir;
    const QString link = dir.filePath("meter");
    auto first = std::make_unique<SimulatedMeter>(QStringList{"--profile", "dcv"}, link);
    ASSERT_TRUE(first->Started());
    SettingsStore().Write("Com1Device", link);
    SettingsStore().Write("DataFilePath", dir.path());
    ASSERT_TRUE(load());
    w->tmrDispUpdate.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w->Label1->text().isEmpty(); }, kWaitMs));
    w->mnuLogger->trigger();
    w->Logger->txtSampInt->setText("0.5");
    w->Logger->cmdStart_Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->SampleCount >= 3; }, kWaitMs));

    first->Unplug();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->Label1->text() == "No Comm"; }, kWaitMs));
    const qint32 whileAway = w->SampleCount;
    // Three sample intervals pass while the meter is away: no row may come of them.
    QSignalSpy intervals(&w->tmrLogClock, &QTimer::timeout);
    ASSERT_TRUE(QTest::qWaitFor([&] { return intervals.count() >= 3; }, kWaitMs));
    EXPECT_EQ(w->SampleCount, whileAway) << "no row while the meter is away";

    SimulatedMeter second({"--profile", "dcv"}, link); // plugged back
    ASSERT_TRUE(second.Started());
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->SampleCount >= whileAway + 3; }, kWaitMs));
    w->Logger->cmdStop_Click();
    EXPECT_EQ(LogDocument(w->LogFilePath).Count(), w->SampleCount);
    const QString lines = second.Sent().join('\n');
    const LogDocument log(w->LogFilePath);
    for (qint32 p = 1; p <= log.Count(); ++p) {
        const QString value = QString::number(*log.Read(p).Value, 'f', 3);
        EXPECT_TRUE(lines.contains(value)) << "row " << p << " " << qPrintable(value);
    }
}

TEST_F(Faults, TheLogFoldersRemovalStopsTheRunWithAMessage) {
    QTemporaryDir dir;
    const QString folder = dir.filePath("logs");
    QDir().mkpath(folder);
    SettingsStore().Write("DataFilePath", folder);
    ASSERT_TRUE(load());
    showLine("DC  1.000 V");
    w->mnuLogger->trigger();
    w->Logger->cmdStart_Click();
    w->GetRowofData();
    ASSERT_TRUE(w->LoggingActive);
    QDir(folder).removeRecursively();
    w->GetRowofData();
    EXPECT_FALSE(w->LoggingActive);
    ASSERT_FALSE(dialogs.boxes.empty());
    EXPECT_EQ(dialogs.boxes.back().title, "Logging Error!");
    EXPECT_TRUE(dialogs.boxes.back().text.contains("2 samples saved before"));
}

TEST_F(Faults, AKilledRunLeavesALogThatGraphs) {
    SimulatedMeter sim;
    ASSERT_TRUE(sim.Started());
    const QString log = sim.LinkPath() + ".qmx";
    QProcess record;
    record.start(QString(QMX_BIN_DIR) + "/qmxtool",
                 {"record", "--device", sim.LinkPath(), "--interval", "0.5", log});
    QByteArray out;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            out += record.readAllStandardOutput();
            return out.count('\n') >= 3;
        },
        kWaitMs));
    ::kill(pid_t(record.processId()), SIGKILL);
    record.waitForFinished(kWaitMs);
    out += record.readAllStandardOutput();

    ASSERT_TRUE(load());
    dialogs.files.push_back(log);
    w->mnuOpen->trigger();
    ASSERT_NE(w->Grapher, nullptr);
    EXPECT_GE(w->Grapher->View.ViewCount(), out.count('\n'));
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(Faults, ASettingsFileFullOfGarbageStartsWithTheDefaults) {
    const QString conf = QSettings("QMX7300", "QMX7300").fileName();
    QDir().mkpath(QFileInfo(conf).absolutePath());
    std::mt19937 rng(5);
    QByteArray garbage;
    for (int i = 0; i < 20000; ++i) {
        garbage += char(std::uniform_int_distribution<int>(0, 255)(rng));
    }
    garbage += "\n[Startup]\nBGColor=\x01\xff\nCommPort=-99999999999\nFont=\x80\x81\n";
    QFile f(conf);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(garbage);
    f.close();
    SettingsStore().Write("Com1Device", meter.SlavePath());
    ASSERT_TRUE(load());
    EXPECT_EQ(w->Colors.Background, 0);
    EXPECT_EQ(w->Link.CommPort, 1);
    showLine("DC  1.000 V");
    EXPECT_EQ(w->Label1->text(), "DC  1.000 V");
    w->close();
    EXPECT_EQ(SettingsStore().Read("CommPort", ""), "1");
}

} // namespace
