#include "tests/support/mainwindowfixture.h"

#include "platform/settingsstore.h"

#include <QSignalSpy>
#include <QTest>

namespace qmx {

void MainWindowFixture::SetUp() {
    SettingsFixture::SetUp();
    SettingsStore settings;
    settings.Write("Com1Device", meter.SlavePath());
    for (int n = 2; n <= 8; ++n) {
        settings.Write(QString("Com%1Device").arg(n), "");
    }
}

void MainWindowFixture::TearDown() {
    if (w) {
        w->close();
        w.reset();
    }
}

bool MainWindowFixture::load() {
    if (w) {
        w->close();
        w.reset();
    }
    w = std::make_unique<frmMain>(Services{clock, dialogs, sound, programFolder.path()});
    const bool loaded = w->Form_Load();
    w->tmrDispUpdate.stop();
    EXPECT_TRUE(QTest::qWaitFor([&] { return w->Link.InputSettled(); }, 3000));
    return loaded;
}

void MainWindowFixture::tick(int n) {
    for (int i = 0; i < n; ++i) {
        w->tmrDispUpdate_Timer();
    }
}

void MainWindowFixture::showLine(const QString& line) {
    w->Link.LastLine = line;
    w->Link.SilenceTicks = 0;
    tick();
}

void MainWindowFixture::meterSends(const QByteArray& bytes) {
    QSignalSpy spy(&w->Link, &MeterLink::LineCompleted);
    meter.Write(bytes);
    const auto crs = bytes.count('\r');
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return spy.count() >= crs && w->Link.SilenceTicks == 0; }, 3000));
}

} // namespace qmx
