// A day of the display tick back to back: 345,600 ticks of 250 ms, with the logging window
// open (its strip chart redrawn every tick, its one-second tick every fourth) and a run
// recording a row every other tick (0.5 s). Prints the resident memory after the first
// 10,000 ticks and at the end, and the median time of a tick early and late in the day.
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise; TICKS=N runs
// fewer ticks.
#include "bench/benchlog.h"
#include "display/frmmain.h"
#include "logging/frmlogger.h"
#include "platform/settingsstore.h"
#include "tests/support/fakes.h"
#include "tests/support/ptypair.h"

#include <QApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <unistd.h>
#include <vector>

using namespace qmx;

namespace {

using Steady = std::chrono::steady_clock;
constexpr long kDayOfTicks = 24L * 60 * 60 * 4;
constexpr long kSettledAfter = 10000;
constexpr long kTimedTicks = 10000; // ticks timed early and late in the day

double residentMb() {
    long pages = 0;
    long resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) {
            resident = 0;
        }
        std::fclose(f);
    }
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// An AC voltage drifting slowly, as a meter on a mains transformer would show it.
QString lineAt(long tick) {
    const double volts = 7.0 + 0.5 * std::sin(double(tick) / 977.0) + 0.01 * double(tick % 7);
    return QString("AC %1 V").arg(volts, 6, 'f', 3);
}

} // namespace

int main(int argc, char* argv[]) {
    QTemporaryDir home;
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_RUNTIME_DIR"}) {
        qputenv(name, home.path().toLocal8Bit());
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    const long ticks =
        qEnvironmentVariableIsSet("TICKS") ? qEnvironmentVariable("TICKS").toLong() : kDayOfTicks;

    PtyPair meter;
    SettingsStore settings;
    settings.Write("Com1Device", meter.SlavePath());
    for (int n = 2; n <= 8; ++n) {
        settings.Write(QString("Com%1Device").arg(n), "");
    }
    // The log on a memory file system when there is one: the rows' syncs to a disk would
    // make the day take hours without changing what is measured.
    const QString logs = QFileInfo("/dev/shm").isWritable() ? "/dev/shm" : home.path();
    QTemporaryDir logDir(logs + "/qmx-daylong-XXXXXX");
    settings.Write("DataFilePath", logDir.path());
    SystemClock clock;
    ScriptedDialogs dialogs;
    RecordingSound sound;
    frmMain main(Services{clock, dialogs, sound, home.path()});
    if (!main.Form_Load()) {
        std::fprintf(stderr, "the meter's port did not open\n");
        return 1;
    }
    main.tmrDispUpdate.stop();
    main.show();
    main.Link.LastLine = lineAt(0);
    main.tmrDispUpdate_Timer();
    main.cmdLogger_Click();
    frmLogger& logger = *main.Logger;
    logger.tmrRealTime.stop();
    logger.txtSampInt->setText("0.5");
    logger.cmdStart_Click();
    main.tmrLogClock.stop(); // its rows are taken below, every other tick
    if (!main.LoggingActive) {
        std::fprintf(stderr, "the run did not start\n");
        return 1;
    }

    std::vector<double> early;
    std::vector<double> late;
    double settledMb = 0.0;
    for (long tick = 1; tick <= ticks; ++tick) {
        const auto start = Steady::now();
        main.Link.LastLine = lineAt(tick);
        main.Link.SilenceTicks = 0;
        main.tmrDispUpdate_Timer();
        if (tick % 2 == 0) {
            main.GetRowofData();
        }
        if (tick % 4 == 0) {
            logger.tmrRealTime_Timer();
        }
        QCoreApplication::processEvents(); // paints what changed
        const double us = std::chrono::duration<double, std::micro>(Steady::now() - start).count();
        if (tick <= kTimedTicks) {
            early.push_back(us);
        } else if (tick > ticks - kTimedTicks) {
            late.push_back(us);
        }
        if (tick % 256 == 0) {
            meter.ReadAvailable(); // the meter takes the polls
        }
        if (tick == kSettledAfter) {
            settledMb = residentMb();
        }
    }
    const double endMb = residentMb();
    std::printf("ticks %ld, rows %d\n", ticks, main.SampleCount);
    std::printf("resident memory after %ld ticks: %.1f MB; at the end: %.1f MB; growth %.2f MB "
                "(%.0f bytes a tick)\n",
                kSettledAfter, settledMb, endMb, endMb - settledMb,
                (endMb - settledMb) * 1024 * 1024 / double(std::max(1L, ticks - kSettledAfter)));
    std::printf("of which the log's engine holds %.2f MB\n",
                double(sqlite3_memory_used()) / (1024.0 * 1024.0));
    std::printf("median tick: %.0f us in the first %ld ticks, %.0f us in the last %ld\n",
                Median(early), kTimedTicks, late.empty() ? 0.0 : Median(late), kTimedTicks);
    return 0;
}
