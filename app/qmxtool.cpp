// qmxtool: the command-line companion of the QMX-7300 program, for scripts.
#include "app/commandline.h"
#include "app/commands.h"

#include <QGuiApplication>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace qmx {

namespace {

// Every command, in the order the help lists them.
const Command kCommands[] = {
    {"decode", "[--raw]", "Decode meter lines from standard input, one JSON object a line.",
     RunDecode},
    {"monitor", "(--device PATH | --port N)", "Open a meter and print each reading it sends.",
     RunMonitor},
    {"record",
     "(--device PATH | --port N) [--interval SECONDS] [--comment TEXT]\n"
     "       [--samples N | --duration SECONDS] (LOG | --daily DIR)",
     "Log a meter's readings into a new log file.", RunRecord},
    {"csv", "LOG [-o OUT]", "Write a log as comma-separated values.", RunCsv},
    {"info", "LOG [--json]", "Show a log's date, comment, sample count, time span and types.",
     RunInfo},
    {"mdb", "LOG [-o OUT]", "Write a log as an Access-format database.", RunMdb},
    {"import", "OLD NEW", "Read a log in the Access format into a new log.", RunImport},
    {"plot", "LOG -o OUT.png|OUT.svg [--from N --to M]",
     "Draw a log's graph as the graph window shows it, into a picture.", RunPlot, true},
    {"stats", "LOG [--from N --to M] [--json]",
     "Show the statistics of a log's samples by type and units.", RunStats},
};

// The application the command runs in, made before anything else: only a command that
// draws gets a GUI application, on the offscreen platform so that it needs no display.
std::unique_ptr<QCoreApplication> makeApplication(int& argc, char* argv[]) {
    const auto named =
        std::find_if(argv + 1, argv + argc, [](const char* a) { return a[0] != '-'; });
    const bool draws = named != argv + argc &&
                       std::any_of(std::begin(kCommands), std::end(kCommands),
                                   [&](const Command& c) { return c.Draws && c.Name == *named; });
    if (!draws) {
        return std::make_unique<QCoreApplication>(argc, argv);
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QGuiApplication>(argc, argv);
}

QString helpText(const QCommandLineParser& parser) {
    QString text = "Usage: qmxtool COMMAND [ARGS]\n"
                   "The command-line companion of the QMX-7300 program.\n\nCommands:\n";
    for (const Command& c : kCommands) {
        text += "  " + c.Name + " " + QString(c.Synopsis).replace("\n       ", "\n    ") +
                "\n      " + c.Summary + "\n";
    }
    return text + "\nOptions:\n  " + parser.helpText().section("\nOptions:", 1).trimmed() +
           "\n\n'qmxtool COMMAND --help' shows the options of a command.\n";
}

int usageError(const QString& message) {
    std::fprintf(stderr, "qmxtool: %s\nRun 'qmxtool --help' for the commands.\n",
                 qPrintable(message));
    return UsageError::kStatus;
}

// Output a script relies on must have reached its place: a full disk is a failure too.
int checkedOutput(const QString& who, int status) {
    const bool flushed = std::fflush(stdout) == 0;
    const int err = errno;
    if (flushed && !std::ferror(stdout)) {
        return status;
    }
    std::fprintf(stderr, "%s: cannot write the output: %s\n", qPrintable(who),
                 flushed ? "a write failed" : std::strerror(err));
    return status == 0 ? 1 : status;
}

} // namespace

} // namespace qmx

using namespace qmx;

int main(int argc, char* argv[]) {
    const auto app = makeApplication(argc, argv);
    QCoreApplication::setApplicationName("qmxtool");
    QCoreApplication::setApplicationVersion(QMX_VERSION);

    QCommandLineParser parser;
    // Whatever follows the command's name belongs to the command.
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QCommandLineOption help({"h", "help"}, "Show this help.");
    const QCommandLineOption version({"v", "version"}, "Show the version.");
    parser.addOptions({help, version});
    if (!parser.parse(QCoreApplication::arguments())) {
        return usageError(parser.errorText());
    }
    if (parser.isSet(help)) {
        std::printf("%s", qPrintable(helpText(parser)));
        return checkedOutput("qmxtool", 0);
    }
    if (parser.isSet(version)) {
        std::printf("qmxtool %s\n", QMX_VERSION);
        return checkedOutput("qmxtool", 0);
    }
    QStringList args = parser.positionalArguments();
    if (args.isEmpty()) {
        return usageError("no command given");
    }
    const QString name = args.takeFirst();
    for (const Command& c : kCommands) {
        if (c.Name != name) {
            continue;
        }
        CommandLine line(c.Name, c.Synopsis, c.Summary);
        try {
            return checkedOutput("qmxtool " + name, c.Run(line, args));
        } catch (const UsageError& e) {
            std::fprintf(stderr, "%s\n", qPrintable(e.Text));
            return UsageError::kStatus;
        }
    }
    return usageError("unknown command " + name);
}
