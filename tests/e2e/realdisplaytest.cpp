// The real program on a real X display: Xvfb with the openbox window manager, mouse
// clicks and key presses from xdotool, and what the user sees taken from screenshots
// (ImageMagick's import). The test starts and ends only its own processes.
#include "tests/support/logmaker.h"
#include "tests/support/pixels.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <sys/prctl.h>
#include <vector>

using namespace qmx;

namespace {

constexpr int kWaitMs = 30000;
constexpr int kEndMs = 5000;
const QString kGraphTitle = "^QMX-7300 Data Graphing Module$";
const QString kMainTitle = "^QMX-7300 RS-232 Communications$";
const QColor kRed(255, 0, 0);

// The log: 100 samples rising from 50.49 to 99, so that any part of it is drawn on the
// scale of 100 with both signs shown.
float rising(int k) {
    return 50.0f + 0.49f * float(k);
}

class RealDisplay : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    std::vector<std::unique_ptr<QProcess>> started; // ended in reverse order
    QImage shot;

    void SetUp() override {
        for (const char* tool : {"Xvfb", "openbox", "xdotool", "import", "xwininfo", "xprop"}) {
            ASSERT_FALSE(QStandardPaths::findExecutable(tool).isEmpty())
                << tool << " is missing: scripts/install-deps.sh installs it";
        }
        // The server picks a free display itself and names it on its output.
        QProcess& server = start(
            "Xvfb", {"-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp", "-wr"});
        QByteArray display;
        ASSERT_TRUE(waitFor([&] {
            display += server.readAllStandardOutput();
            return display.contains('\n');
        })) << "Xvfb did not start: "
            << server.readAllStandardError().constData();
        env.insert("DISPLAY", ":" + QString::fromLatin1(display.trimmed()));
        start("openbox", {"--sm-disable"});
        ASSERT_TRUE(waitFor([&] { return tool({"get_desktop"}).has_value(); }))
            << "openbox did not take over the display";
    }

    void TearDown() override {
        if (HasFailure() && !shot.isNull()) {
            const QString saved = QDir::current().filePath("realdisplay-failure.png");
            shot.save(saved);
            std::printf("The last screenshot is %s\n", qPrintable(saved));
        }
        for (auto p = started.rbegin(); p != started.rend(); ++p) {
            (*p)->terminate();
            if (!(*p)->waitForFinished(kEndMs)) {
                (*p)->kill();
                (*p)->waitForFinished(kEndMs);
            }
        }
    }

    QProcess& start(const QString& program, const QStringList& args) {
        started.push_back(std::make_unique<QProcess>());
        QProcess& p = *started.back();
        p.setProcessEnvironment(env);
        // Ended with the test even when the test itself dies.
        p.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
        p.start(program, args);
        return p;
    }

    // Runs a tool on the display to its end; its output, or nothing when it failed.
    std::optional<QByteArray> run(const QString& program, const QStringList& args) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(program, args);
        if (!p.waitForFinished(kEndMs) || p.exitStatus() != QProcess::NormalExit ||
            p.exitCode() != 0) {
            return std::nullopt;
        }
        return p.readAllStandardOutput();
    }
    std::optional<QByteArray> tool(const QStringList& args) { return run("xdotool", args); }
    static bool waitFor(const std::function<bool()>& condition) {
        return QTest::qWaitFor(condition, kWaitMs);
    }

    const QImage& screenshot() {
        shot = QImage::fromData(run("import", {"-window", "root", "png:-"}).value_or(""), "PNG");
        return shot;
    }

    void click(QPoint at) {
        ASSERT_TRUE(tool({"mousemove", "--sync", QString::number(at.x()), QString::number(at.y()),
                          "click", "1"}));
    }

    // The simulated meter (with simArgs) on port 1 and the program (with args) on it.
    QProcess& startProgram(const QStringList& simArgs, const QStringList& args) {
        const QString meter = dir.filePath("meter");
        QProcess& sim =
            start(QString(QMX_BIN_DIR) + "/qmx7300-sim", QStringList{"--link", meter} + simArgs);
        EXPECT_TRUE(sim.waitForReadyRead(kWaitMs)) << "the simulated meter did not start";
        QSettings settings(dir.filePath("config/QMX7300/QMX7300.conf"), QSettings::IniFormat);
        settings.beginGroup("Startup");
        for (int n = 1; n <= 8; ++n) {
            settings.setValue(QString("Com%1Device").arg(n), n == 1 ? meter : QString());
        }
        settings.setValue("DataFilePath", dir.path());
        settings.sync();
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("XDG_CONFIG_HOME", dir.filePath("config"));
        return start(QString(QMX_BIN_DIR) + "/qmx7300", args);
    }

    // The window of that title once it is shown.
    QString windowNamed(const QString& title) {
        std::optional<QByteArray> id;
        EXPECT_TRUE(waitFor([&] {
            return (id = tool({"search", "--onlyvisible", "--name", title})).has_value();
        })) << qPrintable(title)
            << " is not shown";
        return QString::fromLatin1(id.value_or("")).section('\n', 0, 0).trimmed();
    }

    // The window with the frame the window manager drew around it; empty before it did.
    QRect frameOf(const QString& window) {
        const QString info = QString::fromLatin1(run("xwininfo", {"-id", window}).value_or(""));
        const QStringList frame =
            QString::fromLatin1(run("xprop", {"-id", window, "_NET_FRAME_EXTENTS"}).value_or(""))
                .section('=', 1)
                .split(',', Qt::SkipEmptyParts);
        if (window.isEmpty() || frame.size() != 4) {
            return {};
        }
        const auto field = [&](const QString& name) {
            return info.section(name + ":", 1).section('\n', 0, 0).trimmed().toInt();
        };
        const int left = frame[0].toInt(), right = frame[1].toInt();
        const int top = frame[2].toInt(), bottom = frame[3].toInt();
        return {field("Absolute upper-left X") - left, field("Absolute upper-left Y") - top,
                field("Width") + left + right, field("Height") + top + bottom};
    }
};

// The graph: the bounding box of the long black runs on the white screen (its black area,
// crossed by the trace and the markers).
QRect findGraph(const QImage& image) {
    QRect graph;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0, run = 0; x <= image.width(); ++x) {
            if (x < image.width() && image.pixelColor(x, y) == Qt::black) {
                ++run;
                continue;
            }
            if (run > image.width() / 3) {
                graph |= QRect(x - run, y, run, 1);
            }
            run = 0;
        }
    }
    return graph;
}

// Whether the trace crosses a column within three rows of the expected one.
bool traceNear(const QImage& image, int column, int expected) {
    return CountPixels(image, QRect(column, expected - 3, 1, 7),
                       [](const QColor& c) { return c == kRed; }) > 0;
}

TEST_F(RealDisplay, TwoClicksOnTheGraphLeaveTwoMarkersAndZoomShowsWhatLiesBetween) {
    const QString log = dir.filePath("rising.qmx");
    MakeLog(log, Ramp(100, rising));
    QProcess& program = startProgram({}, {log});

    ASSERT_FALSE(windowNamed(kGraphTitle).isEmpty())
        << "qmx7300 said: " << program.readAllStandardError().constData();
    // The main window is moved out of sight: its reading display is black too.
    const auto mainWindow = tool({"search", "--name", kMainTitle});
    ASSERT_TRUE(mainWindow && tool({"windowminimize", "--sync", QString(*mainWindow).trimmed()}));

    // Sample k of a view of n lies at column left + (k - 1) / (n - 1) * (width - 1); a
    // value v at row top + (100 - v) / 200 * (height - 1).
    QRect graph;
    const auto rowOf = [&](float v) {
        return graph.top() + int(std::lround((100.0 - v) / 200.0 * (graph.height() - 1)));
    };
    const auto sampleAt = [&](int column) {
        return int(std::nearbyint(1.0 + 99.0 * (column - graph.left()) / (graph.width() - 1)));
    };
    ASSERT_TRUE(waitFor([&] {
        graph = findGraph(screenshot());
        return graph.width() > 300 && graph.height() > 200 &&
               traceNear(shot, graph.left(), rowOf(rising(1))) &&
               traceNear(shot, graph.right(), rowOf(rising(100)));
    })) << "no graph of the whole log on the screen";

    const int left = graph.left() + graph.width() / 5;
    const int right = graph.left() + graph.width() * 4 / 5;
    click({right, graph.center().y()});
    click({left, graph.center().y()});
    EXPECT_TRUE(waitFor([&] {
        screenshot();
        return LitShare(shot, left, graph.top(), graph.bottom()) > 0.9 &&
               LitShare(shot, right, graph.top(), graph.bottom()) > 0.9;
    })) << "both marker lines should cross the graph before Zoom";

    // The Zoom button lies below the graph's left edge, as the window lays it out.
    click({graph.left() - 25, graph.bottom() + 81});
    const int first = sampleAt(left);
    const int last = sampleAt(right);
    EXPECT_TRUE(waitFor([&] {
        screenshot();
        return traceNear(shot, graph.left(), rowOf(rising(first))) &&
               traceNear(shot, graph.right(), rowOf(rising(last)));
    })) << "the zoomed graph should run from sample "
        << first << " to sample " << last;
}

// Sizes are outer sizes, with the frame the window manager draws: the main window is
// centred by its frame, the logging window touches it from above without covering its
// title bar, the dBu view grows it downwards, and no window can be resized or maximized.
TEST_F(RealDisplay, TheWindowsFramesTouchAndCannotBeMaximized) {
    QProcess& program = startProgram({"--profile", "acv"}, {});
    const QString main = windowNamed(kMainTitle);
    QRect mainFrame;
    ASSERT_TRUE(waitFor([&] { return (mainFrame = frameOf(main)).size() == QSize(760, 276); }))
        << "main window frame " << mainFrame.width() << "x" << mainFrame.height()
        << "; qmx7300 said: " << program.readAllStandardError().constData();
    EXPECT_EQ(mainFrame.topLeft(), QPoint((1280 - 760) / 2, (1024 - 276) / 2));
    // The reading in large type, yellow on black at first: drawn, not only set as text.
    EXPECT_TRUE(waitFor([&] {
        return CountPixels(screenshot(), mainFrame,
                           [](const QColor& c) { return c == QColor(Qt::yellow); }) > 2000;
    })) << "the reading is not drawn";

    // The Logger button (Alt+L) opens the window once the meter has sent a line.
    ASSERT_TRUE(tool({"windowactivate", "--sync", main}));
    ASSERT_TRUE(waitFor([&] {
        return tool({"key", "alt+l"}) &&
               tool({"search", "--onlyvisible", "--name", "^QMX-7300 Logger$"}).has_value();
    }));
    const QString logger = windowNamed("^QMX-7300 Logger$");
    QRect loggerFrame;
    EXPECT_TRUE(waitFor([&] {
        loggerFrame = frameOf(logger);
        mainFrame = frameOf(main);
        return loggerFrame.size() == QSize(760, 303) && loggerFrame.bottom() + 1 == mainFrame.top();
    })) << "logger frame "
        << loggerFrame.y() << "+" << loggerFrame.height() << ", main frame at " << mainFrame.y();
    EXPECT_EQ(loggerFrame.left(), mainFrame.left());
    EXPECT_FALSE(loggerFrame.intersects(mainFrame));

    ASSERT_TRUE(tool({"windowactivate", "--sync", main}));
    ASSERT_TRUE(tool({"key", "alt+d"}));
    EXPECT_TRUE(waitFor([&] { return frameOf(main).size() == QSize(760, 276 + 110); }))
        << "the dBu view's frame " << frameOf(main).height() << " high";
    EXPECT_EQ(frameOf(main).topLeft(), mainFrame.topLeft());

    for (const QString& window : {main, logger}) {
        const QString actions = QString::fromLatin1(
            run("xprop", {"-id", window, "_NET_WM_ALLOWED_ACTIONS"}).value_or(""));
        EXPECT_TRUE(actions.contains("_NET_WM_ACTION_CLOSE")) << qPrintable(actions);
        EXPECT_FALSE(actions.contains("MAXIMIZE")) << qPrintable(actions);
        EXPECT_FALSE(actions.contains("_NET_WM_ACTION_RESIZE")) << qPrintable(actions);
    }
}

} // namespace
