#pragma once

#include "display/frmmain.h"
#include "tests/support/fakes.h"
#include "tests/support/ptypair.h"
#include "tests/support/settingsfixture.h"

#include <QTemporaryDir>

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

    void SetUp() override;
    void TearDown() override;

    // Makes the window (a fresh one if one exists) and runs its start-up.
    bool load();
    // Runs n display ticks.
    void tick(int n = 1);
    // Puts a complete line on the link as if the meter had sent it, then ticks once.
    void showLine(const QString& line);
    // Sends bytes from the meter through the real port and waits until they arrived.
    void meterSends(const QByteArray& bytes);
};

} // namespace qmx
