#include "app/commandline.h"
#include "app/commands.h"
#include "app/portoptions.h"
#include "meter/meterlink.h"
#include "meter/meterreading.h"

#include <QCoreApplication>
#include <QTime>
#include <QTimer>

#include <csignal>
#include <cstdio>

namespace qmx {

namespace {

constexpr int kPollMs = 250;
volatile std::sig_atomic_t interrupted = 0;

void onInterrupt(int) {
    interrupted = 1;
}

void printReading(const QString& line) {
    const MeterReading r = DecodeReading(line);
    QString out = QTime::currentTime().toString("hh:mm:ss") + "  " + line.leftJustified(14) +
                  "  mode=" + r.Mode + " value=" + QString::number(r.Value) + " units=" + r.Units;
    if (r.DbuValid) {
        out += " dBu=" + QString::number(r.Dbu, 'f', 2);
    }
    std::printf("%s\n", out.toUtf8().constData());
    std::fflush(stdout);
}

} // namespace

// Opens a meter as the program does, polls it every 250 ms and prints each new line.
int RunMonitor(CommandLine& line, const QStringList& args) {
    AddPortOptions(line);
    if (!line.Parse(args)) {
        return 0;
    }
    line.Arguments({});
    const ChosenMeter meter = MeterFromOptions(line);
    MeterLink link(meter.Ports);
    link.CommPort = meter.Port;
    if (const auto failure = link.OpenConfiguredPort()) {
        line.Report(PortFailureLine(*failure));
        return 1;
    }
    QObject::connect(&link, &MeterLink::LineCompleted, [&link] { printReading(link.LastLine); });
    // A device that goes away is silence at once; its return is said when it happens.
    QObject::connect(&link, &MeterLink::DeviceLost, [&link] { printReading(link.LastLine); });
    QObject::connect(&link, &MeterLink::DeviceBack, [&link] {
        std::printf("%s  %s is back\n", qPrintable(QTime::currentTime().toString("hh:mm:ss")),
                    qPrintable(link.Device()));
        std::fflush(stdout);
    });

    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&link] {
        if (interrupted) {
            QCoreApplication::quit();
            return;
        }
        link.SendPoll();
        const bool silentBefore = link.LastLine == MeterLink::kNoComm;
        if (link.CountSilentTick() && !silentBefore) {
            printReading(link.LastLine);
        }
    });
    tick.start(kPollMs);
    const int status = QCoreApplication::exec();
    link.ClosePort();
    return status;
}

} // namespace qmx
