#include "app/commands.h"
#include "grapher/accessexport.h"
#include "grapher/logcopy.h"
#include "logging/dberror.h"
#include "logging/logimport.h"
#include "logging/logmessages.h"

#include <csignal>
#include <cstdio>

namespace {

void printError(const QString& text) {
    std::fprintf(stderr, "%s\n", qPrintable(QString(text).replace("\r\n", "\n").trimmed()));
}

} // namespace

// qmxtool mdb LOG [-o OUT]: the log as an Access-format database (OUT defaults to LOG
// with its last three characters replaced by "mdb").
int RunMdb(const QStringList& args) {
    if (args.isEmpty() || args.first().startsWith('-')) {
        std::fprintf(stderr, "usage: qmxtool mdb LOG [-o OUT]\n");
        return 2;
    }
    const QString log = args.first();
    const qsizetype o = args.indexOf("-o");
    const QString out = o > 0 && o + 1 < args.size() ? args[o + 1] : AccessCopyName(log);
    std::signal(SIGXFSZ, SIG_IGN); // a file size limit is a failed write, not the end
    try {
        ExportAccessFile(log, out);
    } catch (const DbError& e) {
        printError(out + ": " + e.Detail);
        return 1;
    }
    return 0;
}

// qmxtool import OLD NEW: a log in the Access format into a new log of this program.
int RunImport(const QStringList& args) {
    if (args.size() != 2 || args[0].startsWith('-') || args[1].startsWith('-')) {
        std::fprintf(stderr, "usage: qmxtool import OLD NEW\n");
        return 2;
    }
    std::signal(SIGXFSZ, SIG_IGN);
    try {
        const qint64 samples = ImportLog(args[0], args[1]);
        std::printf("%lld samples\n", static_cast<long long>(samples));
    } catch (const DbError& e) {
        if (e.Code == DbError::kFileExists) {
            printError(LogMessages::CreationErrorText(e.Code, args[1]));
        } else {
            printError(args[0] + ": " + e.Detail);
        }
        return 1;
    }
    return 0;
}
