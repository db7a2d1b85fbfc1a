#include "app/commands.h"
#include "app/jsonline.h"
#include "grapher/csvexport.h"
#include "grapher/logdocument.h"
#include "logging/dberror.h"
#include "logging/logmessages.h"

#include <cstdio>

namespace {

void printError(const QString& text) {
    std::fprintf(stderr, "%s\n", qPrintable(QString(text).replace("\r\n", "\n").trimmed()));
}

} // namespace

// qmxtool csv LOG [-o OUT]: the log as comma-separated values (OUT defaults to LOG with
// its last three characters replaced by "csv").
int RunCsv(const QStringList& args) {
    if (args.isEmpty() || args.first().startsWith('-')) {
        std::fprintf(stderr, "usage: qmxtool csv LOG [-o OUT]\n");
        return 2;
    }
    const QString log = args.first();
    const qsizetype o = args.indexOf("-o");
    const QString out = o > 0 && o + 1 < args.size() ? args[o + 1] : CsvExport::TargetFor(log);
    CsvExport exporter(log, out);
    try {
        exporter.Run();
    } catch (const DbError& e) {
        printError(out + ": " + LogMessages::FileErrorText(e.Code) + e.Detail);
        return 1;
    }
    return 0;
}

// qmxtool info LOG [--json]: the log's date, description, sample count, first and last
// time stamps and the types found.
int RunInfo(const QStringList& args) {
    if (args.isEmpty() || args.first().startsWith('-')) {
        std::fprintf(stderr, "usage: qmxtool info LOG [--json]\n");
        return 2;
    }
    try {
        const LogDocument log(args.first());
        const QString first = log.Read(1).TimeStamp;
        const QString last = log.Read(log.Count()).TimeStamp;
        if (args.contains("--json")) {
            QByteArray types = "[";
            for (const QString& t : log.TypeNames()) {
                types += (types.size() > 1 ? "," : "") + JsonLine::Quoted(t);
            }
            const QByteArray json = JsonLine()
                                        .Text("date", log.Date())
                                        .Text("description", log.Description())
                                        .Integer("samples", log.Count())
                                        .Text("firstTimeStamp", first)
                                        .Text("lastTimeStamp", last)
                                        .Finish();
            std::printf("%s,\"types\":%s]}\n", json.left(json.size() - 1).constData(),
                        types.constData());
        } else {
            std::printf("Date:        %s\nDescription: %s\nSamples:     %d\nFirst:       %s\n"
                        "Last:        %s\nTypes:       %s\n",
                        qPrintable(log.Date()), qPrintable(log.Description()), log.Count(),
                        qPrintable(first), qPrintable(last),
                        qPrintable(log.TypeNames().join(", ")));
        }
    } catch (const DbError& e) {
        const bool said = e.Code == DbError::kUnreadableLog; // the reason says it already
        printError(args.first() + ": " +
                   (said ? e.Detail : "not a readable log (" + e.Detail + ")"));
        return 1;
    }
    return 0;
}
