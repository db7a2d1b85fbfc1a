// The program as a user meets it: real windows on the offscreen screen, the real event
// loop and timers, the simulated meter on a pseudo-terminal, real log files. Only the
// dialogs (answered from a script) and the sound output (recorded) stand in.
#include "tests/support/fakes.h"
#include "tests/support/pixels.h"
#include "tests/support/settingsfixture.h"
#include "tests/support/simulatedmeter.h"

#include "display/frmmain.h"
#include "grapher/frmgrapher.h"
#include "grapher/logdocument.h"
#include "logging/frmlogger.h"
#include "logging/logreader.h"
#include "platform/settingsstore.h"
#include "ui/picturebox.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
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
        QFile wav(dir.filePath("attention.wav"));
        wav.open(QIODevice::WriteOnly);
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
    static void moveMouse(QWidget* widget, QPoint at) {
        QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(widget, &move);
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
    void expectRowsWereSent(const QString& log) {
        const QStringList sent = sim->Sent();
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

TEST_F(Scenario, LogAManualRunGraphItZoomExportAndQuit) {
    startProgram("dcv");
    frmLogger& logger = openLogger();
    typeInto(logger.txtComment, "scenario one");
    typeInto(logger.txtSampInt, "0.5");
    QTest::keyClick(logger.txtSampInt, Qt::Key_Return); // moves on to the comment
    EXPECT_EQ(w->LogIntervalMs, 500);
    QTest::mouseClick(logger.cmdStart, Qt::LeftButton);
    ASSERT_TRUE(w->LoggingActive);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->SampleCount >= 6; }, kWaitMs));
    QTest::mouseClick(logger.cmdStop, Qt::LeftButton);
    const QString log = w->LogFilePath;
    const qint32 count = w->SampleCount;
    EXPECT_EQ(LogDocument(log).Count(), count);
    expectRowsWereSent(log);

    QTest::mouseClick(logger.cmdReturn, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->mnuOpen->isEnabled(); }, kWaitMs));
    dialogs.files.push_back(log);
    w->mnuOpen->trigger();
    ASSERT_NE(w->Grapher, nullptr);
    frmGrapher& graph = *w->Grapher;
    EXPECT_EQ(graph.View.ViewCount(), count);
    EXPECT_EQ(graph.txtComment->text(), "scenario one");
    const QPoint middle(graph.picGraph->width() / 2, graph.picGraph->height() / 2);
    activate(&graph);
    moveMouse(graph.picGraph, middle);
    EXPECT_FALSE(graph.lblValue->text().isEmpty());
    // Two clicks leave two marker lines across the graph; Zoom shows what lies between.
    const int width = graph.picGraph->width();
    const auto sampleAt = [&](int column) {
        return qint32(std::nearbyint(1.0 + double(count - 1) * column / (width - 1)));
    };
    const int left = width / 5;
    const int right = width * 4 / 5;
    QTest::mouseClick(graph.picGraph, Qt::LeftButton, {}, QPoint(right, middle.y()));
    QTest::mouseClick(graph.picGraph, Qt::LeftButton, {}, QPoint(left, middle.y()));
    const QImage& marked = graph.picGraph->Image();
    for (const int column : {left, right}) {
        EXPECT_GT(LitShare(marked, column, 0, marked.height() - 1), 0.9) << "marker at " << column;
    }
    QTest::mouseClick(graph.cmdZoom, Qt::LeftButton);
    EXPECT_EQ(graph.View.FirstPos(), sampleAt(left));
    EXPECT_EQ(graph.View.LastPos(), sampleAt(right));
    QTest::keyClick(graph.windowHandle(), Qt::Key_Right);
    EXPECT_EQ(graph.CurrentPosition(), sampleAt(left) + 1) << "one step for one key press";
    // One click, then Zoom: from the first sample to the click.
    QTest::mouseClick(graph.cmdReset, Qt::LeftButton);
    QTest::mouseClick(graph.picGraph, Qt::LeftButton, {}, middle);
    QTest::mouseClick(graph.cmdZoom, Qt::LeftButton);
    EXPECT_EQ(graph.View.FirstPos(), 1);
    EXPECT_EQ(graph.View.LastPos(), sampleAt(middle.x()));
    graph.mnuCDelimited->trigger();
    QFile csv(log.left(log.size() - 3) + "csv");
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = csv.readAll().split('\n');
    EXPECT_TRUE(lines[0].endsWith(",scenario one\r"));
    EXPECT_EQ(lines.size(), count + 2); // the header, the rows, and nothing after the last CR LF
    const LogDocument doc(log);
    for (qint32 p = 1; p <= count; ++p) {
        const auto fields = lines[p].trimmed().split(',');
        EXPECT_EQ(fields[1], doc.Read(p).Type.toUtf8());
        EXPECT_FLOAT_EQ(fields[3].toFloat(), *doc.Read(p).Value);
    }

    QTest::mouseClick(w->cmdQuit, Qt::LeftButton);
    EXPECT_EQ(w->Grapher, nullptr);
    SettingsStore settings;
    EXPECT_EQ(settings.Read("CommPort", ""), "1");
    EXPECT_EQ(settings.Read("DataFilePath", ""), dir.path());
    EXPECT_EQ(settings.Read("FGColor", ""), "65535");
}

TEST_F(Scenario, ATimedRunStartsAndStopsByTheClockAndSaysSo) {
    startProgram("acv");
    frmLogger& logger = openLogger();
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
    const qint32 count = LogDocument(w->LogFilePath).Count();
    EXPECT_GE(count, 2);
    EXPECT_TRUE(
        dialogs.boxes[0].text.startsWith("Your Timed Sampling Session Completed Successfully!"));
    EXPECT_TRUE(dialogs.boxes[0].text.contains(w->LogFilePath));
    EXPECT_TRUE(dialogs.boxes[0].text.contains(QString("It contains %1 samples.").arg(count)));
    expectRowsWereSent(w->LogFilePath);
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
    EXPECT_EQ(w->Panel->txtLowAlarm->text(), "");
    EXPECT_FALSE(w->Panel->chkLoSet->isEnabled());
    EXPECT_TRUE(w->LoggingActive);
    const qint32 beforeChange = w->SampleCount;
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->SampleCount >= beforeChange + 2; }, kWaitMs));
    QTest::mouseClick(logger.cmdStop, Qt::LeftButton);
    const LogDocument doc(w->LogFilePath);
    EXPECT_GE(doc.TypeNames().size(), 2) << "rows of both modes";
    EXPECT_EQ(doc.TypeNames().first(), modeWhileSounding);
    EXPECT_EQ(doc.Count(), w->SampleCount);

    // Converted to an Access database and opened from it, the log reads the same.
    QTest::mouseClick(logger.cmdReturn, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->mnuOpen->isEnabled(); }, kWaitMs));
    dialogs.files.push_back(w->LogFilePath);
    w->mnuOpen->trigger();
    ASSERT_NE(w->Grapher, nullptr);
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

} // namespace
