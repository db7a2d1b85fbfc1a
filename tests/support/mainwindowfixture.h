#pragma once

#include "display/frmmain.h"
#include "platform/settingsstore.h"
#include "tests/support/fakes.h"
#include "tests/support/ptypair.h"
#include "tests/support/settingsfixture.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace qmx {

// A main window loaded on a pseudo-terminal meter at port 1, with fake clock, dialogs
// and sound. Its display timer is stopped: tests call the tick themselves.
class MainWindowFixture : public SettingsFixture {
protected:
    PtyPair meter;
    FakeClock clock;
    ScriptedDialogs dialogs;
    RecordingSound sound;
    QTemporaryDir programFolder;
    std::unique_ptr<frmMain> w;

    void SetUp() override {
        SettingsFixture::SetUp();
        SettingsStore settings;
        settings.Write("Com1Device", meter.SlavePath());
        for (int n = 2; n <= 8; ++n) {
            settings.Write(QString("Com%1Device").arg(n), "");
        }
    }
    void TearDown() override { closeWindow(); }

    // Makes the window (a fresh one if one exists) and runs its start-up.
    bool load() {
        closeWindow();
        w = std::make_unique<frmMain>(Services{clock, dialogs, sound, programFolder.path()});
        const bool loaded = w->Form_Load();
        w->tmrDispUpdate.stop();
        EXPECT_TRUE(QTest::qWaitFor([&] { return w->Link.InputSettled(); }, 3000));
        return loaded;
    }
    // Runs n display ticks.
    void tick(int n = 1) {
        for (int i = 0; i < n; ++i) {
            w->tmrDispUpdate_Timer();
        }
    }
    // Puts a complete line on the link as if the meter had sent it, then ticks once.
    void showLine(const QString& line) {
        w->Link.LastLine = line;
        w->Link.SilenceTicks = 0;
        tick();
    }
    // Sends bytes from the meter through the real port and waits until they arrived.
    void meterSends(const QByteArray& bytes) {
        QSignalSpy spy(&w->Link, &MeterLink::LineCompleted);
        meter.Write(bytes);
        const auto crs = bytes.count('\r');
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return spy.count() >= crs && w->Link.SilenceTicks == 0; }, 3000));
    }

private:
    void closeWindow() {
        if (w) {
            w->close();
            w.reset();
        }
    }
};

} // namespace qmx
