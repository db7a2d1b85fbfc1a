// qmxtool: the command-line companion of the QMX-7300 program, for scripts.
#include "app/commands.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: qmxtool COMMAND [ARGS]\n"
                 "commands:\n"
                 "  decode [--raw]                   decode meter lines from stdin as JSON\n"
                 "  monitor (--device PATH | --port N) print a meter's readings\n");
    return 2;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("qmxtool");
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    if (args.isEmpty()) {
        return usage();
    }
    const QString command = args.takeFirst();
    if (command == u"decode") {
        return RunDecode(args);
    }
    if (command == u"monitor") {
        return RunMonitor(args);
    }
    if (command == u"record") {
        return RunRecord(args);
    }
    if (command == u"csv") {
        return RunCsv(args);
    }
    if (command == u"info") {
        return RunInfo(args);
    }
    if (command == u"mdb") {
        return RunMdb(args);
    }
    if (command == u"import") {
        return RunImport(args);
    }
    return usage();
}
