#include "grapher/viewstatistics.h"

#include "grapher/logdocument.h"
#include "meter/meterreading.h"

#include <cmath>

namespace qmx {

namespace {

QString number(double value) {
    return QString::number(value, 'g', 7);
}

QString line(const char* name, const QString& value) {
    return QString("  %1%2\n").arg(QString(name) + ":", -21).arg(value);
}

QString extremeText(const std::optional<ViewStatistics::Extreme>& e) {
    if (!e) {
        return "none (no sample has a value)";
    }
    return number(double(e->Value)) + " at " + e->TimeStamp + ", sample " +
           QString::number(e->Position);
}

// One value into its group: Welford's update of the mean and the squared deviations.
void add(ViewStatistics::Group& g, float value, qint32 position) {
    const double x = value;
    const auto n = double(g.Values());
    const double delta = x - g.Mean;
    g.Mean += delta / n;
    g.SquaredDeviations += delta * (x - g.Mean);
    if (!g.Min || value < g.Min->Value) {
        g.Min = ViewStatistics::Extreme{value, position, {}};
    }
    if (!g.Max || value > g.Max->Value) {
        g.Max = ViewStatistics::Extreme{value, position, {}};
    }
}

void finish(ViewStatistics::Group& g, const LogDocument& log) {
    if (g.Values() >= 2) {
        g.Deviation = std::sqrt(g.SquaredDeviations / double(g.Values() - 1));
    }
    for (std::optional<ViewStatistics::Extreme>* e : {&g.Min, &g.Max}) {
        if (*e) {
            (*e)->TimeStamp = log.Read((*e)->Position).TimeStamp;
        }
    }
    g.AcVolts = g.Type == u"AC" && g.Units.trimmed() == u"V";
    if (g.AcVolts && g.Values() > 0 && g.Mean > 0.0) {
        g.MeanDbu = DbuOfVolts(g.Mean);
    }
}

} // namespace

ViewStatistics ViewStatistics::Of(const LogDocument& log, qint32 first, qint32 last) {
    ViewStatistics stats;
    stats.First = first;
    stats.Last = last;
    const auto values = log.Values(first, last);
    const auto kinds = log.KindIds(first, last);
    std::vector<int> groupOf(log.Kinds().size(), -1);
    for (size_t i = 0; i < values.size(); ++i) {
        int& at = groupOf[kinds[i]];
        if (at < 0) {
            at = int(stats.Groups.size());
            const LogDocument::Kind& kind = log.Kinds()[kinds[i]];
            Group group;
            group.Type = kind.Type;
            group.Units = kind.Units;
            stats.Groups.push_back(std::move(group));
        }
        Group& g = stats.Groups[size_t(at)];
        ++g.Samples;
        if (std::isnan(values[i])) {
            ++g.Nulls;
        } else {
            add(g, values[i], first + qint32(i));
        }
    }
    for (Group& g : stats.Groups) {
        finish(g, log);
    }
    return stats;
}

QString ViewStatistics::Text() const {
    QString text = QString("Samples %1 to %2\n").arg(First).arg(Last);
    for (const Group& g : Groups) {
        text += "\n" + g.Type + " " + g.Units + "\n";
        text += line("Samples", QString::number(g.Samples));
        text += line("Without a value", QString::number(g.Nulls));
        text += line("Minimum", extremeText(g.Min));
        text += line("Maximum", extremeText(g.Max));
        text += line("Mean", g.Values() > 0 ? number(g.Mean) : "none (no sample has a value)");
        if (g.Deviation) {
            text += line("Standard deviation", number(*g.Deviation) + " (of a sample, n - 1)");
        } else {
            text += line("Standard deviation", g.Values() == 1
                                                   ? "none (a single value has no sample deviation)"
                                                   : "none (no sample has a value)");
        }
        if (g.AcVolts) {
            text += line("Mean level", g.MeanDbu ? number(*g.MeanDbu) + " dBu (of the mean voltage)"
                                                 : "none (the mean voltage is not above 0 V)");
        }
    }
    return text;
}

} // namespace qmx
