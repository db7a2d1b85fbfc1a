#include "app/commandline.h"
#include "app/commands.h"
#include "app/jsonline.h"
#include "grapher/graphcaptions.h"
#include "grapher/graphpicture.h"
#include "grapher/graphview.h"
#include "grapher/logdocument.h"
#include "grapher/viewstatistics.h"
#include "logging/dberror.h"

#include <cstdio>
#include <memory>

namespace qmx {

namespace {

const QCommandLineOption kFrom("from", "The view's first sample (1 when not given).", "N");
const QCommandLineOption kTo("to", "The view's last sample (the log's last when not given).", "M");

std::unique_ptr<LogDocument> openLog(const CommandLine& line, const QString& path) {
    try {
        return std::make_unique<LogDocument>(path);
    } catch (const DbError& e) {
        const bool said = e.Code == DbError::kUnreadableLog; // the reason says it already
        line.Report(path + ": " + (said ? e.Detail : "not a readable log (" + ReasonOf(e) + ")"));
        return nullptr;
    }
}

// The samples --from and --to name, checked against the log's length.
GraphView viewOf(const CommandLine& line, const LogDocument& log) {
    const QString range = QString("a sample position from 1 to %1").arg(log.Count());
    const auto first = qint32(line.Whole("from", 1, log.Count(), range, 1));
    const auto last = qint32(line.Whole("to", 1, log.Count(), range, log.Count()));
    if (last < first) {
        line.Fail(QString("--to %1 is before --from %2").arg(last).arg(first));
    }
    GraphView view;
    view.SetRange(first, last);
    return view;
}

QByteArray extremeJson(const std::optional<ViewStatistics::Extreme>& e) {
    if (!e) {
        return "null";
    }
    return JsonLine()
        .Float("value", e->Value)
        .Text("timeStamp", e->TimeStamp)
        .Integer("position", e->Position)
        .Finish();
}

QByteArray statisticsJson(const ViewStatistics& stats) {
    QByteArray groups = "[";
    for (const ViewStatistics::Group& g : stats.Groups) {
        JsonLine group;
        group.Text("type", g.Type)
            .Text("units", g.Units)
            .Integer("samples", g.Samples)
            .Integer("nulls", g.Nulls)
            .Json("min", extremeJson(g.Min))
            .Json("max", extremeJson(g.Max))
            .Double("mean", g.Values() > 0 ? std::optional(g.Mean) : std::nullopt)
            .Double("deviation", g.Deviation);
        if (g.AcVolts) {
            group.Double("meanDbu", g.MeanDbu);
        }
        groups += (groups.size() > 1 ? "," : "") + group.Finish();
    }
    return JsonLine()
        .Integer("first", stats.First)
        .Integer("last", stats.Last)
        .Json("groups", groups + "]")
        .Finish();
}

} // namespace

// qmxtool plot LOG -o OUT.png|OUT.svg [--from N --to M]: the picture the graph window saves.
int RunPlot(CommandLine& line, const QStringList& args) {
    line.AddOption({{"o", "output"}, "The picture to write: a .png or .svg file.", "OUT"});
    line.AddOption(kFrom);
    line.AddOption(kTo);
    if (!line.Parse(args)) {
        return 0;
    }
    const QString path = line.Arguments({"LOG"}).first();
    if (!line.IsSet("o")) {
        line.Fail("-o OUT is needed");
    }
    const QString out = line.Value("o");
    const auto format = GraphPicture::FormatOf(out);
    if (!format) {
        line.Fail("-o " + out + ": the picture's name must end in .png or .svg");
    }
    const auto log = openLog(line, path);
    if (!log) {
        return 1;
    }
    GraphView view = viewOf(line, *log);
    try {
        GraphScale::GetMaxMin(view, *log);
        const ScaleLayout layout = GraphScale::DrawScale(view, view.MaxVal, view.MinVal);
        GraphPicture(*log, view, layout, GraphCaptions::Of(path, *log, view, layout))
            .Save(out, *format);
    } catch (const DbError& e) {
        line.Report("cannot draw " + path + " to " + out + ": " + ReasonOf(e));
        return 1;
    }
    return 0;
}

// qmxtool stats LOG [--from N --to M] [--json]: the statistics the graph window shows.
int RunStats(CommandLine& line, const QStringList& args) {
    line.AddOption(kFrom);
    line.AddOption(kTo);
    line.AddOption({"json", "Print one JSON object."});
    if (!line.Parse(args)) {
        return 0;
    }
    const QString path = line.Arguments({"LOG"}).first();
    const auto log = openLog(line, path);
    if (!log) {
        return 1;
    }
    const GraphView view = viewOf(line, *log);
    try {
        const ViewStatistics stats = ViewStatistics::Of(*log, view.FirstPos(), view.LastPos());
        if (line.IsSet("json")) {
            std::printf("%s\n", statisticsJson(stats).constData());
        } else {
            std::printf("%s", qPrintable(stats.Text()));
        }
    } catch (const DbError& e) {
        line.Report(path + ": " + ReasonOf(e));
        return 1;
    }
    return 0;
}

} // namespace qmx
