#include "app/commandline.h"
#include "app/commands.h"
#include "app/jsonline.h"
#include "grapher/csvexport.h"
#include "logging/dberror.h"
#include "logging/logsummary.h"

#include <cstdio>

namespace qmx {

// qmxtool csv LOG [-o OUT]: the log as comma-separated values (OUT defaults to LOG with
// its last three characters replaced by "csv").
int RunCsv(CommandLine& line, const QStringList& args) {
    line.AddOption({{"o", "output"}, "The CSV file to write.", "OUT"});
    if (!line.Parse(args)) {
        return 0;
    }
    const QString log = line.Arguments({"LOG"}).first();
    const QString out = line.IsSet("o") ? line.Value("o") : CsvExport::TargetFor(log);
    CsvExport exporter(log, out);
    try {
        exporter.Run();
    } catch (const DbError& e) {
        line.Report("cannot export " + log + " to " + out + ": " + ReasonOf(e));
        return 1;
    }
    return 0;
}

// qmxtool info LOG [--json]: the log's date, description, sample count, first and last
// time stamps and the types found.
int RunInfo(CommandLine& line, const QStringList& args) {
    line.AddOption({"json", "Print one JSON object."});
    if (!line.Parse(args)) {
        return 0;
    }
    const QString path = line.Arguments({"LOG"}).first();
    LogSummary log;
    try {
        log = LogSummary::Read(path);
    } catch (const DbError& e) {
        const bool said = e.Code == DbError::kUnreadableLog; // the reason says it already
        line.Report(path + ": " + (said ? e.Detail : "not a readable log (" + ReasonOf(e) + ")"));
        return 1;
    }
    if (line.IsSet("json")) {
        QByteArray types = "[";
        for (const QString& t : log.Types) {
            types += (types.size() > 1 ? "," : "") + JsonLine::Quoted(t);
        }
        const QByteArray json = JsonLine()
                                    .Text("date", log.Date)
                                    .Text("description", log.Description)
                                    .Integer("samples", log.Samples)
                                    .Text("firstTimeStamp", log.FirstTimeStamp)
                                    .Text("lastTimeStamp", log.LastTimeStamp)
                                    .Finish();
        std::printf("%s,\"types\":%s]}\n", json.left(json.size() - 1).constData(),
                    types.constData());
    } else {
        std::printf("Date:        %s\nDescription: %s\nSamples:     %lld\nFirst:       %s\n"
                    "Last:        %s\nTypes:       %s\n",
                    qPrintable(log.Date), qPrintable(log.Description),
                    static_cast<long long>(log.Samples), qPrintable(log.FirstTimeStamp),
                    qPrintable(log.LastTimeStamp), qPrintable(log.Types.join(", ")));
    }
    return 0;
}

} // namespace qmx
