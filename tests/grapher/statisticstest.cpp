#include "tests/support/logmaker.h"

#include "grapher/logdocument.h"
#include "grapher/viewstatistics.h"
#include "meter/meterreading.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <map>

using namespace qmx;

namespace {

// The numbers of one group worked out another way: two passes in long double.
struct Expected {
    qint64 samples = 0;
    qint64 nulls = 0;
    std::vector<std::pair<float, qint32>> values; // value, position
};

void checkGroup(const ViewStatistics::Group& g, const Expected& e) {
    EXPECT_EQ(g.Samples, e.samples);
    EXPECT_EQ(g.Nulls, e.nulls);
    if (e.values.empty()) {
        EXPECT_FALSE(g.Min || g.Max || g.Deviation || g.MeanDbu);
        return;
    }
    long double sum = 0;
    for (const auto& [v, p] : e.values) {
        sum += v;
    }
    const long double mean = sum / e.values.size();
    long double squares = 0;
    for (const auto& [v, p] : e.values) {
        squares += (v - mean) * (v - mean);
    }
    const auto low = *std::min_element(e.values.begin(), e.values.end(),
                                       [](auto a, auto b) { return a.first < b.first; });
    const auto high = *std::max_element(e.values.begin(), e.values.end(),
                                        [](auto a, auto b) { return a.first < b.first; });
    EXPECT_EQ(std::pair(g.Min->Value, g.Min->Position), low);
    EXPECT_EQ(std::pair(g.Max->Value, g.Max->Position), high);
    EXPECT_EQ(g.Min->TimeStamp, QString("10:00:%1 AM").arg(low.second, 2, 10, QChar('0')));
    EXPECT_NEAR(g.Mean, double(mean), 1e-12 * std::fabs(double(mean)) + 1e-300);
    if (e.values.size() < 2) {
        EXPECT_FALSE(g.Deviation);
    } else {
        const double deviation = double(std::sqrt(squares / (e.values.size() - 1)));
        ASSERT_TRUE(g.Deviation);
        EXPECT_NEAR(*g.Deviation, deviation, 1e-9 * deviation);
    }
    EXPECT_EQ(g.MeanDbu.has_value(), g.AcVolts && mean > 0);
    if (g.MeanDbu) {
        EXPECT_NEAR(*g.MeanDbu, 20.0 * std::log10(double(mean) / 0.77459667), 1e-9);
    }
}

struct StatsCase {
    const char* name;
    std::vector<LogSample> samples;
};

class ViewStatisticsTest : public ::testing::TestWithParam<StatsCase> {};

TEST_P(ViewStatisticsTest, MatchTwoPassesInLongDouble) {
    QTemporaryDir dir;
    std::vector<LogSample> samples = GetParam().samples;
    for (size_t i = 0; i < samples.size(); ++i) {
        samples[i].timeStamp = QString("10:00:%1 AM").arg(i + 1, 2, 10, QChar('0'));
    }
    MakeLog(dir.filePath("s.qmx"), samples);
    const LogDocument log(dir.filePath("s.qmx"));
    // Every view of the log: the whole, and without its first sample.
    for (const qint32 first : {1, 2}) {
        if (first > log.Count()) {
            continue;
        }
        const ViewStatistics stats = ViewStatistics::Of(log, first, log.Count());
        std::map<QString, Expected> expected;
        std::vector<QString> order;
        for (qint32 p = first; p <= log.Count(); ++p) {
            const LogSample& s = samples[size_t(p - 1)];
            const QString key = s.type + "|" + s.units.value_or("");
            if (!expected.count(key)) {
                order.push_back(key);
            }
            Expected& e = expected[key];
            ++e.samples;
            if (s.value && std::isfinite(*s.value)) {
                e.values.push_back({*s.value, p});
            } else {
                ++e.nulls;
            }
        }
        ASSERT_EQ(stats.Groups.size(), order.size());
        for (size_t i = 0; i < order.size(); ++i) {
            const ViewStatistics::Group& g = stats.Groups[i];
            EXPECT_EQ(g.Type + "|" + g.Units, order[i]);
            SCOPED_TRACE(order[i].toStdString() + " from " + std::to_string(first));
            checkGroup(g, expected[order[i]]);
        }
    }
}

LogSample sample(std::optional<float> v, const char* type, const char* units) {
    LogSample s;
    s.value = v;
    s.type = type;
    s.units = units;
    return s;
}

LogSample ac(std::optional<float> v) {
    return sample(v, "AC", " V");
}

constexpr float kHuge = 3.4e38f;

INSTANTIATE_TEST_SUITE_P(
    Logs, ViewStatisticsTest,
    ::testing::Values(
        StatsCase{"Nulls", {{1.5f}, {std::nullopt}, {-2.25f}, {std::nullopt}, {4.0f}, {1.5f}}},
        StatsCase{"OneSample", {{0.125f}}},
        StatsCase{"OneValueAmongNulls", {{std::nullopt}, {7.0f}, {std::nullopt}}},
        StatsCase{"OnlyNulls", {{std::nullopt}, {std::nullopt}}},
        StatsCase{
            "MixedTypes",
            {{1.0f}, ac(0.775f), sample(2.0f, "DC", "mV"), ac(1.2f), {3.0f}, ac(0.0f), {5.0f}}},
        StatsCase{"AcMeanNotAboveZero", {ac(0.0f), ac(0.0f), ac(std::nullopt)}},
        StatsCase{"Huge", {{kHuge}, {-kHuge}, {kHuge}, {kHuge}, {-kHuge}, {1.0f}}},
        StatsCase{"HugeAndClose", {{kHuge}, {kHuge}, {3.3999998e38f}}},
        StatsCase{"FloatsFarApart", {{1e-30f}, {1e30f}, {-1e-30f}, {12345.678f}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ViewStatisticsText, SaysWhatEachGroupHasAndHasNot) {
    QTemporaryDir dir;
    MakeLog(dir.filePath("t.qmx"), {{2.0f}, {4.0f}, ac(1.55f), sample(std::nullopt, "OHM", "Ohm")});
    const LogDocument log(dir.filePath("t.qmx"));
    EXPECT_EQ(ViewStatistics::Of(log, 1, 4).Text(),
              "Samples 1 to 4\n"
              "\nDC  V\n"
              "  Samples:             2\n"
              "  Without a value:     0\n"
              "  Minimum:             2 at 9:00:00 AM, sample 1\n"
              "  Maximum:             4 at 9:00:00 AM, sample 2\n"
              "  Mean:                3\n"
              "  Standard deviation:  1.414214 (of a sample, n - 1)\n"
              "\nAC  V\n"
              "  Samples:             1\n"
              "  Without a value:     0\n"
              "  Minimum:             1.55 at 9:00:00 AM, sample 3\n"
              "  Maximum:             1.55 at 9:00:00 AM, sample 3\n"
              "  Mean:                1.55\n"
              "  Standard deviation:  none (a single value has no sample deviation)\n"
              "  Mean level:          6.025121 dBu (of the mean voltage)\n"
              "\nOHM Ohm\n"
              "  Samples:             1\n"
              "  Without a value:     1\n"
              "  Minimum:             none (no sample has a value)\n"
              "  Maximum:             none (no sample has a value)\n"
              "  Mean:                none (no sample has a value)\n"
              "  Standard deviation:  none (no sample has a value)\n");
}

} // namespace
