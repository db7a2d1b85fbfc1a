#include "app/commandline.h"
#include "app/commands.h"
#include "grapher/accessexport.h"
#include "grapher/logcopy.h"
#include "logging/dberror.h"
#include "logging/logimport.h"

#include <csignal>
#include <cstdio>

namespace qmx {

// qmxtool mdb LOG [-o OUT]: the log as an Access-format database (OUT defaults to LOG
// with its last three characters replaced by "mdb").
int RunMdb(CommandLine& line, const QStringList& args) {
    line.AddOption({{"o", "output"}, "The Access-format file to write.", "OUT"});
    if (!line.Parse(args)) {
        return 0;
    }
    const QString log = line.Arguments({"LOG"}).first();
    const QString out = line.IsSet("o") ? line.Value("o") : AccessCopyName(log);
    std::signal(SIGXFSZ, SIG_IGN); // a file size limit is a failed write, not the end
    try {
        ExportAccessFile(log, out);
    } catch (const DbError& e) {
        line.Report("cannot export " + log + " to " + out + ": " + ReasonOf(e));
        return 1;
    }
    return 0;
}

// qmxtool import OLD NEW: a log in the Access format into a new log of this program.
int RunImport(CommandLine& line, const QStringList& args) {
    if (!line.Parse(args)) {
        return 0;
    }
    const QStringList logs = line.Arguments({"OLD", "NEW"});
    std::signal(SIGXFSZ, SIG_IGN);
    try {
        const qint64 samples = ImportLog(logs[0], logs[1]);
        std::printf("%lld samples\n", static_cast<long long>(samples));
    } catch (const DbError& e) {
        line.Report((e.Code == DbError::kFileExists ? logs[1] : logs[0]) + ": " + ReasonOf(e));
        return 1;
    }
    return 0;
}

} // namespace qmx
