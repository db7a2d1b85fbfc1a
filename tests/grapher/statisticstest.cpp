#include "tests/support/logmaker.h"

#include "grapher/logdocument.h"
#include "grapher/viewstatistics.h"
#include "meter/meterreading.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace qmx;

namespace {

// The numbers of one group worked out another way: two passes in long double.
void checkGroup(const ViewStatistics::Group& g, const std::vector<LogSample>& samples,
                const QString& key) {
    std::vector<std::pair<float, qint32>> values; // value, position
    qint64 count = 0;
    for (qint32 p = 1; p <= qint32(samples.size()); ++p) {
        const LogSample& s = samples[size_t(p - 1)];
        if (s.type + "|" + s.units.value_or("") == key) {
            ++count;
            if (s.value) {
                values.push_back({*s.value, p});
            }
        }
    }
    EXPECT_EQ(g.Samples, count);
    EXPECT_EQ(g.Nulls, count - qint64(values.size()));
    if (values.empty()) {
        EXPECT_FALSE(g.Min || g.Max || g.Deviation || g.MeanDbu);
        return;
    }
    long double mean = 0;
    for (const auto& v : values) {
        mean += v.first / (long double)values.size();
    }
    long double squares = 0;
    for (const auto& v : values) {
        squares += (v.first - mean) * (v.first - mean);
    }
    // The first position of each extreme.
    const auto byValue = [](auto a, auto b) { return a.first < b.first; };
    const auto low = std::min_element(values.begin(), values.end(), byValue);
    const auto high = std::max_element(values.begin(), values.end(), byValue);
    EXPECT_EQ(std::pair(g.Min->Value, g.Min->Position), *low);
    EXPECT_EQ(std::pair(g.Max->Value, g.Max->Position), *high);
    EXPECT_EQ(g.Max->TimeStamp, QString("10:00:%1 AM").arg(high->second, 2, 10, QChar('0')));
    EXPECT_NEAR(g.Mean, double(mean), 1e-12 * std::fabs(double(mean)) + 1e-300);
    EXPECT_EQ(g.Deviation.has_value(), values.size() >= 2);
    if (g.Deviation) {
        const double deviation = double(std::sqrt(squares / (values.size() - 1)));
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
    const ViewStatistics stats = ViewStatistics::Of(log, 1, log.Count());
    QStringList order; // the groups in order of first appearance
    for (const LogSample& s : samples) {
        if (!order.contains(s.type + "|" + s.units.value_or(""))) {
            order << s.type + "|" + s.units.value_or("");
        }
    }
    ASSERT_EQ(stats.Groups.size(), size_t(order.size()));
    for (size_t i = 0; i < stats.Groups.size(); ++i) {
        EXPECT_EQ(stats.Groups[i].Type + "|" + stats.Groups[i].Units, order[qsizetype(i)]);
        SCOPED_TRACE(order[qsizetype(i)].toStdString());
        checkGroup(stats.Groups[i], samples, order[qsizetype(i)]);
    }
}

constexpr float kHuge = 3.4e38f;

INSTANTIATE_TEST_SUITE_P(
    Logs, ViewStatisticsTest,
    ::testing::Values(
        StatsCase{"Nulls", {{1.5f}, {std::nullopt}, {-2.25f}, {std::nullopt}, {4.0f}, {1.5f}}},
        StatsCase{"OneSample", {{0.125f}}},
        StatsCase{"OneValueAmongNulls", {{std::nullopt}, {7.0f}, {std::nullopt}}},
        StatsCase{"OnlyNulls", {{std::nullopt}, {std::nullopt}}},
        StatsCase{"MixedTypes",
                  {{1.0f},
                   {0.775f, "AC", " V"},
                   {2.0f, "DC", "mV"},
                   {1.2f, "AC", " V"},
                   {3.0f},
                   {0.0f, "AC", " V"},
                   {5.0f}}},
        StatsCase{"AcMeanNotAboveZero",
                  {{0.0f, "AC", " V"}, {0.0f, "AC", " V"}, {std::nullopt, "AC", " V"}}},
        StatsCase{"Huge", {{kHuge}, {-kHuge}, {kHuge}, {kHuge}, {-kHuge}, {1.0f}}},
        StatsCase{"HugeAndClose", {{kHuge}, {kHuge}, {3.3999998e38f}}},
        StatsCase{"FloatsFarApart", {{1e-30f}, {1e30f}, {-1e-30f}, {12345.678f}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ViewStatisticsText, SaysWhatEachGroupHasAndHasNot) {
    QTemporaryDir dir;
    MakeLog(dir.filePath("t.qmx"),
            {{2.0f}, {4.0f}, {1.55f, "AC", " V"}, {std::nullopt, "OHM", "Ohm"}});
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
