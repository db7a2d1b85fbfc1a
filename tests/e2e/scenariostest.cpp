// The program as a user meets it: real windows on the offscreen screen, the real event
// loop and timers, the simulated meter on a pseudo-terminal, real log files. Only the
// dialogs (answered from a script) and the sound output (recorded) stand in.
#include "tests/support/fakes.h"
#include "tests/support/logmaker.h"
#include "tests/support/settingsfixture.h"
#include "tests/support/simulatedmeter.h"
#include "tests/support/testfiles.h"

#include "display/frmmain.h"
#include "grapher/frmgrapher.h"
#include "grapher/logdocument.h"
#include "logging/frmlogger.h"
#include "logging/logreader.h"
#include "platform/settingsstore.h"
#include "ui/picturebox.h"

#include <QAction>
#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

using namespace qmx;

namespace {

constexpr int kWaitMs = 15000;

class Scenario : public SettingsFixture {
protected:
    QTemporaryDir dir;
    std::unique_ptr<SimulatedMeter> sim;
    SystemClock clock;
    ScriptedDialogs dialogs;
    RecordingSound sound;
    std::unique_ptr<frmMain> w;

    void startProgram(const QString& profile) {
        sim = std::make_unique<SimulatedMeter>(QStringList{"--profile", profile});
        ASSERT_TRUE(sim->Started());
        SettingsStore settings;
        settings.Write("Com1Device", sim->LinkPath());
        for (int n = 2; n <= 8; ++n) {
            settings.Write(QString("Com%1Device").arg(n), "");
        }
        settings.Write("DataFilePath", dir.path());
        WriteFile(dir.filePath("attention.wav"), "");
        w = std::make_unique<frmMain>(Services{clock, dialogs, sound, dir.path()});
        ASSERT_TRUE(w->Form_Load());
        w->show();
        ASSERT_TRUE(QTest::qWaitFor([&] { return w->cmdLogger->isEnabled(); }, kWaitMs));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !w->Label1->text().isEmpty(); }, kWaitMs));
    }
    // Brings a window to the front, as the user's click on it would.
    static void activate(QWidget* window) {
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    }
    void TearDown() override {
        if (w) {
            w->close();
        }
    }
    frmLogger& openLogger() {
        QTest::mouseClick(w->cmdLogger, Qt::LeftButton);
        EXPECT_NE(w->Logger, nullptr);
        activate(w->Logger.get());
        return *w->Logger;
    }
    void typeInto(QLineEdit* box, const QString& text) {
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, text);
    }
    // Returns from the logger and opens its log from the main window's menu.
    frmGrapher* graphTheLog(frmLogger& logger) {
        QTest::mouseClick(logger.cmdReturn, Qt::LeftButton);
        EXPECT_TRUE(QTest::qWaitFor([&] { return w->mnuOpen->isEnabled(); }, kWaitMs));
        dialogs.files.push_back(w->LogFilePath);
        w->mnuOpen->trigger();
        return w->Grapher.get();
    }
    // The readout at every sample of the view, stepping with the arrow keys from the last.
    static QStringList readouts(frmGrapher& graph) {
        activate(&graph);
        QStringList seen;
        QTest::keyClick(graph.windowHandle(), Qt::Key_Right); // onto the last sample
        for (qint32 p = graph.View.LastPos(); p >= graph.View.FirstPos(); --p) {
            EXPECT_EQ(graph.CurrentPosition(), p);
            QStringList texts;
            for (const QLabel* l :
                 {graph.lblTS, graph.lblType, graph.lblUnits, graph.lblValue, graph.lbldBu}) {
                texts << l->text();
            }
            seen.prepend(texts.join('|'));
            QTest::keyClick(graph.windowHandle(), Qt::Key_Left);
        }
        return seen;
    }
    // Every row of the log was a line the meter sent (matched by type and value).
    void expectRowsWereSent(const QString& log, const QStringList& alsoSent = {}) {
        const QStringList sent = sim->Sent() + alsoSent;
        const LogDocument doc(log);
        for (qint32 p = 1; p <= doc.Count(); ++p) {
            const LogDocument::Sample s = doc.Read(p);
            const bool found = std::any_of(sent.begin(), sent.end(), [&](const QString& line) {
                return line.left(2) == s.Type && s.Value &&
                       std::fabs(line.mid(3, 6).trimmed().toFloat() - *s.Value) < 1e-4;
            });
            EXPECT_TRUE(found) << "row " << p << ": " << qPrintable(s.Type);
        }
    }
};

// A run timed by the clock, with a typed comment and interval: it starts and stops by itself
// and says so, its rows are lines the meter sent, it graphs and exports whole, and Quit
// closes the graph and keeps the log's folder.
TEST_F(Scenario, ATimedRunStartsAndStopsByTheClockAndSaysSoThenGraphsExportsAndQuits) {
    startProgram("dcv");
    frmLogger& logger = openLogger();
    typeInto(logger.txtComment, "scenario one");
    typeInto(logger.txtSampInt, "0.5");
    QTest::keyClick(logger.txtSampInt, Qt::Key_Return); // moves on to the comment
    EXPECT_EQ(w->LogIntervalMs, 500);
    QTest::mouseClick(logger.optTimer, Qt::LeftButton);
    ASSERT_TRUE(logger.mskStartTime->isVisible());
    const QTime now = QTime::currentTime();
    const auto typed = [](QTime t) { return QLocale::c().toString(t, "hhmmssap"); };
    QTest::mouseClick(logger.mskStartTime, Qt::LeftButton);
    QTest::keyClicks(logger.mskStartTime, typed(now.addSecs(3)));
    QTest::mouseClick(logger.mskEndTime, Qt::LeftButton);
    QTest::keyClicks(logger.mskEndTime, typed(now.addSecs(6)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return logger.cmdStart->text() == "Timed Start Pending!"; },
                                kWaitMs));
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->LoggingActive; }, kWaitMs));
    EXPECT_EQ(logger.cmdStart->text(), "In Progress!");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialogs.boxes.empty(); }, kWaitMs));
    EXPECT_FALSE(w->LoggingActive);
    EXPECT_TRUE(logger.optManual->isChecked());
    const QString log = w->LogFilePath;
    const qint32 count = LogDocument(log).Count();
    EXPECT_GE(count, 2);
    EXPECT_TRUE(
        dialogs.boxes[0].text.startsWith("Your Timed Sampling Session Completed Successfully!"));
    EXPECT_TRUE(dialogs.boxes[0].text.contains(log));
    EXPECT_TRUE(dialogs.boxes[0].text.contains(QString("It contains %1 samples.").arg(count)));
    expectRowsWereSent(log);

    ASSERT_NE(graphTheLog(logger), nullptr);
    frmGrapher& graph = *w->Grapher;
    EXPECT_EQ(graph.View.ViewCount(), count);
    EXPECT_EQ(graph.txtComment->text(), "scenario one");
    activate(&graph);
    QTest::keyClick(graph.windowHandle(), Qt::Key_Right);
    EXPECT_EQ(graph.CurrentPosition(), count);
    EXPECT_FALSE(graph.lblValue->text().isEmpty());
    graph.mnuCDelimited->trigger();
    const LogContents whole = ReadWholeLog(log);
    EXPECT_EQ(ContentsOf(log.left(log.size() - 3) + "csv"), CsvOf(whole.info, whole.samples));

    QTest::mouseClick(w->cmdQuit, Qt::LeftButton);
    EXPECT_EQ(w->Grapher, nullptr);
    EXPECT_EQ(SettingsStore().Read("DataFilePath", ""), dir.path());
}

TEST_F(Scenario, TheMeterChangesModeWhileTheAlarmSoundsAndARunRecords) {
    startProgram("cycle");
    // A low threshold of 100 is crossed by every reading of the cycle.
    QTest::mouseClick(w->cmdAlarms, Qt::LeftButton);
    QTest::keyClicks(w->Panel->txtLowAlarm, "100");
    QTest::mouseClick(w->Panel->chkLoSet, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->cmdAlarms->text() == "RESET!"; }, kWaitMs));
    EXPECT_EQ(sound.calls.filter("play:").size(), 1);
    const QString modeWhileSounding = w->Label1->text().left(2);
    frmLogger& logger = openLogger();
    typeInto(logger.txtSampInt, "0.5");
    QTest::keyClick(logger.txtSampInt, Qt::Key_Tab);
    QTest::mouseClick(logger.cmdStart, Qt::LeftButton);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return w->Label1->text().left(2) != modeWhileSounding; }, kWaitMs));
    EXPECT_TRUE(QTest::qWaitFor([&] { return sound.calls.last() == "stop"; }, kWaitMs));
    EXPECT_EQ(w->cmdAlarms->text(), "&Alarms");
    EXPECT_TRUE(w->LoggingActive);
    const qint32 beforeChange = w->SampleCount;
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->SampleCount >= beforeChange + 2; }, kWaitMs));
    QTest::mouseClick(logger.cmdStop, Qt::LeftButton);
    const LogDocument doc(w->LogFilePath);
    EXPECT_GE(doc.TypeNames().size(), 2) << "rows of both modes";
    EXPECT_EQ(doc.TypeNames().first(), modeWhileSounding);
    EXPECT_EQ(doc.Count(), w->SampleCount);

    // Converted to an Access database and opened from it, the log reads the same.
    ASSERT_NE(graphTheLog(logger), nullptr);
    frmGrapher& graph = *w->Grapher;
    const QStringList recorded = readouts(graph);
    EXPECT_EQ(recorded.size(), doc.Count());
    graph.mnuCAccess->trigger();
    EXPECT_EQ(dialogs.boxes.back().title, "Access Database File Creation Successful!");
    const QString mdb = w->LogFilePath.left(w->LogFilePath.size() - 3) + "mdb";
    EXPECT_TRUE(LogReader::IsAccessFormat(mdb));
    dialogs.files.push_back(mdb);
    graph.cmdOpen->trigger();
    EXPECT_EQ(graph.lblFileName->text(), "Filename: " + QFileInfo(mdb).fileName());
    EXPECT_TRUE(graph.txtComment->isReadOnly()) << "an Access-format log opens read-only";
    EXPECT_EQ(readouts(graph), recorded);
}

// A meter unplugged mid-run and plugged back: no row while it is away, and the rows go on
// when it is back, each a line the meter sent.
using UnpluggedMeter = Scenario;

TEST_F(UnpluggedMeter, RowsResumeWhenItIsBackWithNothingLostAndNoStaleRows) {
    startProgram("dcv");
    frmLogger& logger = openLogger();
    typeInto(logger.txtSampInt, "0.5");
    QTest::keyClick(logger.txtSampInt, Qt::Key_Tab);
    QTest::mouseClick(logger.cmdStart, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->SampleCount >= 3; }, kWaitMs));
    sim->Unplug();
    // The system takes an unplugged adapter's name away; a link left to the dead terminal
    // could reach another program's terminal once its number is given out again.
    QFile::remove(sim->LinkPath());
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->Label1->text() == "No Comm"; }, kWaitMs));
    const qint32 whileAway = w->SampleCount;
    // Three sample intervals pass while the meter is away: no row may come of them.
    QSignalSpy intervals(&w->tmrLogClock, &QTimer::timeout);
    ASSERT_TRUE(QTest::qWaitFor([&] { return intervals.count() >= 3; }, kWaitMs));
    EXPECT_EQ(w->SampleCount, whileAway) << "no row while the meter is away";
    SimulatedMeter back({"--profile", "dcv"}, sim->LinkPath());
    ASSERT_TRUE(back.Started());
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->SampleCount >= whileAway + 3; }, kWaitMs));
    QTest::mouseClick(logger.cmdStop, Qt::LeftButton);
    EXPECT_EQ(LogDocument(w->LogFilePath).Count(), w->SampleCount);
    expectRowsWereSent(w->LogFilePath, back.Sent());
}

} // namespace
