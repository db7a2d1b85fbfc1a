// The windows on a desktop with a window manager (scripts/with-wm.sh runs these tests on
// Xvfb with openbox): their sizes are outer sizes, the logging window touches the main
// window without covering it, and no window can be maximized.
#include "tests/support/mainwindowfixture.h"

#include "logging/frmlogger.h"
#include "ui/twips.h"

#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr int kWaitMs = 5000;

class WindowFrames : public MainWindowFixture {
protected:
    // Waits until the window manager has framed the window at the outer size.
    static void expectFramedAt(QWidget* window, QSize outer) {
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return window->frameGeometry().size() == outer &&
                       window->frameGeometry() != window->geometry();
            },
            kWaitMs))
            << "frame " << window->frameGeometry().width() << "x"
            << window->frameGeometry().height();
    }
    // What the window manager lets the user do with the window.
    static QString allowedActions(QWidget* window) {
        QProcess xprop;
        xprop.start("xprop", {"-id", QString::number(window->winId()), "_NET_WM_ALLOWED_ACTIONS"});
        xprop.waitForFinished(kWaitMs);
        return QString::fromLatin1(xprop.readAllStandardOutput());
    }
    void showMain() {
        ASSERT_TRUE(load());
        w->show();
        expectFramedAt(w.get(), {TwipsToPx(11400), TwipsToPx(4150)});
    }
};

TEST_F(WindowFrames, TheMainWindowIsCentredByItsOuterSize) {
    ASSERT_NE(QGuiApplication::platformName(), "offscreen") << "run by scripts/with-wm.sh";
    showMain();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QRect frame = w->frameGeometry();
    EXPECT_EQ(frame.center(), screen.center()) << frame.x() << "," << frame.y();
    w->showMaximized();
    showLine("AC  0.775 V");
    w->cmdDB_Click();
    expectFramedAt(w.get(), {TwipsToPx(11400), TwipsToPx(4150 + 1650)});
    EXPECT_EQ(w->frameGeometry().topLeft(), frame.topLeft());
}

TEST_F(WindowFrames, TheLoggingWindowTouchesTheMainWindowWithoutCoveringIt) {
    showMain();
    ASSERT_GT(w->ScreenWidthPx, 1024);
    w->cmdLogger_Click();
    frmLogger* logger = w->Logger;
    expectFramedAt(logger, {TwipsToPx(11400), TwipsToPx(4550)});
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return logger->frameGeometry().bottom() + 1 == w->frameGeometry().top(); }, kWaitMs))
        << logger->frameGeometry().bottom() << " " << w->frameGeometry().top();
    EXPECT_EQ(logger->frameGeometry().left(), w->frameGeometry().left());
    EXPECT_FALSE(logger->frameGeometry().intersects(w->frameGeometry()));
}

TEST_F(WindowFrames, NoWindowCanBeMaximizedOrResized) {
    showMain();
    w->cmdLogger_Click();
    expectFramedAt(w->Logger, {TwipsToPx(11400), TwipsToPx(4550)});
    for (QWidget* window : std::initializer_list<QWidget*>{w.get(), w->Logger}) {
        const QString actions = allowedActions(window);
        EXPECT_TRUE(actions.contains("_NET_WM_ACTION_CLOSE")) << qPrintable(actions);
        EXPECT_FALSE(actions.contains("MAXIMIZE")) << qPrintable(actions);
        EXPECT_FALSE(actions.contains("_NET_WM_ACTION_RESIZE")) << qPrintable(actions);
    }
}

} // namespace
