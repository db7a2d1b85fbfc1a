// qmx7300-sim: a simulated QMX-7300 meter on a pseudo-terminal.
#include "sim/meterprofile.h"
#include "sim/ptymeter.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>

#include <csignal>
#include <cstdio>

namespace qmx {

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int) {
    stopRequested = 1;
}

QString defaultLink() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return QDir(runtime.isEmpty() ? "/tmp" : runtime).filePath("qmx7300-sim");
}

} // namespace

} // namespace qmx

using namespace qmx;

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("qmx7300-sim");
    QCoreApplication::setApplicationVersion(QMX_VERSION);
    QCommandLineParser parser;
    parser.setApplicationDescription("A simulated QMX-7300 multimeter on a pseudo-terminal.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({
        {"link", "Path of the symlink to the meter's port.", "PATH", defaultLink()},
        {"profile", "What the meter measures: " + MeterProfile::Names().join(", ") + ".", "NAME",
         "dcv"},
        {"silent-after", "Stop answering after this many seconds.", "SECONDS"},
        {"seed", "Seed for a repeatable sequence.", "N", "1"},
        {"transcript", "Append every line sent to this file.", "FILE"},
        {"framing",
         "How the meter frames its characters: 8n1, or 7n2 (as a meter set to 7 data bits "
         "and 2 stop bits reaches a port read at 8n1).",
         "FRAMING", "8n1"},
    });
    parser.process(app);

    MeterProfile profile(parser.value("profile"), parser.value("seed").toUInt());
    if (!profile.IsValid()) {
        std::fprintf(stderr, "qmx7300-sim: unknown profile %s\n",
                     qPrintable(parser.value("profile")));
        return 2;
    }
    PtyMeter::Options options;
    const QString framing = parser.value("framing");
    if (framing != u"8n1" && framing != u"7n2") {
        std::fprintf(stderr, "qmx7300-sim: unknown framing %s (8n1 or 7n2)\n", qPrintable(framing));
        return 2;
    }
    options.Frame =
        framing == u"7n2" ? PtyMeter::Framing::SevenNoneTwo : PtyMeter::Framing::EightNoneOne;
    options.LinkPath = parser.value("link");
    options.TranscriptPath = parser.value("transcript");
    if (parser.isSet("silent-after")) {
        options.SilentAfterSeconds = parser.value("silent-after").toDouble();
    }
    // Before the link is announced, so a stop right after it still removes the link.
    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);
    PtyMeter meter(std::move(profile), options);
    QString error;
    if (!meter.Open(&error)) {
        std::fprintf(stderr, "qmx7300-sim: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("%s\n", qPrintable(options.LinkPath));
    std::fflush(stdout);
    meter.Serve(stopRequested);
    return 0;
}
