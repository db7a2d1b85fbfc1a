// The logger's rules without its window: the row a shown line gives, the sampling
// interval, the times of a timed run and the texts that end it.
#include "logging/runcontrol.h"
#include "logging/samplerow.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <cmath>

using namespace qmx;

namespace {

using namespace RunControl;

TEST(SampleRow, RowRulesOfTheLogger) {
    const struct {
        const char* line;
        const char* type;
        const char* units;
        std::optional<float> value;
    } lines[] = {{"DC -1.234 V", "DC", " V", -1.234f},   {"AC  0.775 V", "AC", " V", 0.775f},
                 {"FR  1.000 KHz", "FR", "KHz", 1.0f},   {"FR  1.000 MHz", "FR", "MHz", 1.0f},
                 {"TEMP  25.3  C", "Temp", " C", 25.0f}, {"OH  12.34 KOHM", "OH", "Ohm", {}},
                 {"OH  1.234 MOHM", "OH", "Mohm", {}},   {"DC    OL OPEN", "DC", "", 0.0f},
                 {"DC  1.234 OPEN", "DC", "", 1.234f},   {"CO     0 SHORT", "CO", "", {}},
                 {"AC  123.4 mV", "AC", "mV", 123.4f},   {"DC 1E+39 V", "DC", " V", {}},
                 {"DC 9E999 V", "DC", " V", {}}};
    for (const auto& l : lines) {
        SCOPED_TRACE(l.line);
        const auto row = BuildSampleRow(l.line, "dBu Not Valid", 3.0f, QTime(15, 25, 7));
        ASSERT_TRUE(row.has_value());
        EXPECT_EQ(row->TimeStamp, "3:25:07 PM");
        EXPECT_EQ(row->Type, l.type);
        EXPECT_EQ(row->Units, l.units);
        ASSERT_EQ(row->Value.has_value(), l.value.has_value());
        if (row->Value) {
            EXPECT_FLOAT_EQ(*row->Value, *l.value);
        }
        EXPECT_FALSE(row->Dbu.has_value());
    }
    EXPECT_FALSE(BuildSampleRow("No Comm", "dBu Not Valid", 0.0f, QTime(9, 0)).has_value());
    EXPECT_FALSE(BuildSampleRow("", "", 0.0f, QTime(9, 0)).has_value());
}

TEST(SampleRow, DbuIsTheShownLevelRoundedToTwoDecimals) {
    const auto row = BuildSampleRow("AC  0.775 V", "-00.05 dBu", -0.05169801f, QTime(9, 0));
    ASSERT_TRUE(row->Dbu.has_value());
    EXPECT_FLOAT_EQ(*row->Dbu, -0.05f);
    EXPECT_FLOAT_EQ(*BuildSampleRow("AC 7.746 V", "x", 19.996f, QTime(9, 0))->Dbu, 20.0f);
    EXPECT_FALSE(BuildSampleRow("AC 9E999 V", "x", INFINITY, QTime(9, 0))->Dbu.has_value());
}

TEST(SampleRow, StoredTextsIgnoreTheLocale) {
    const QLocale before;
    QLocale::setDefault(QLocale("de_DE"));
    EXPECT_EQ(FormatTimeStamp(QTime(9, 5, 3)), "9:05:03 AM");
    EXPECT_EQ(FormatTimeStamp(QTime(0, 0, 10)), "12:00:10 AM");
    EXPECT_EQ(FormatLogDate(QDate(2026, 3, 7)), "3/7/2026");
    QLocale::setDefault(before);
}

// What the interval field shows once left, the interval it means, and its own text.
TEST(Interval, ClampsOnLeavingTheFieldAndShowsAPlainDecimal) {
    const struct {
        const char* typed;
        const char* shown;
        qint32 ms;
    } typed[] = {{"0.2", "0.5", 500},     {"75", "60.0", 60000},    {"1.25", "1.25", 1250},
                 {"", "0.5", 500},        {"fast", "0.5", 500},     {"2,5", "2,5", 2000},
                 {"1e99", "60.0", 60000}, {"0.5005", "0.5005", 500}};
    for (const auto& t : typed) {
        EXPECT_EQ(CorrectedInterval(t.typed), t.shown) << t.typed;
        EXPECT_EQ(IntervalMs(t.shown), t.ms) << t.typed;
    }
    EXPECT_EQ(IntervalText(1000), "1");
    EXPECT_EQ(IntervalText(500), "0.5");
    EXPECT_EQ(IntervalText(1250), "1.25");
}

TEST(TimeOfDay, ValidTwelveHourTimesOnly) {
    EXPECT_TRUE(IsTimeOfDay("09:05:03 PM"));
    EXPECT_TRUE(IsTimeOfDay("12:00:10 AM"));
    for (const char* invalid : {"  :  :   ", "13:00:00 PM", "09:61:00 AM", ""}) {
        EXPECT_FALSE(IsTimeOfDay(invalid)) << invalid;
    }
}

// A time is reached by the tick at it or the first tick after it, across midnight too.
TEST(TimeReached, ExactOrPassedSinceThePreviousTick) {
    const struct {
        const char* target;
        const char* previous;
        const char* clock;
        bool reached;
    } ticks[] = {{"10:00:00 AM", "09:59:59 AM", "10:00:00 AM", true},
                 {"10:00:00 AM", "", "10:00:00 AM", true},
                 {"10:00:00 AM", "09:59:58 AM", "10:00:01 AM", true},
                 {"10:00:00 AM", "10:00:00 AM", "10:00:01 AM", false},
                 {"10:00:00 AM", "09:59:58 AM", "09:59:59 AM", false},
                 {"12:00:00 AM", "11:59:59 PM", "12:00:01 AM", true},
                 {"10:00:00 AM", "08:00:00 AM", "11:00:00 AM", false},
                 {"  :  :   ", "09:59:58 AM", "10:00:01 AM", false}};
    for (const auto& t : ticks) {
        EXPECT_EQ(TimeReached(t.target, t.previous, t.clock), t.reached)
            << t.target << " " << t.previous << " " << t.clock;
    }
}

TEST(RunTexts, CompletionMessageNamesThePathAndCount) {
    EXPECT_EQ(CompletionText("/logs/run1.qmx", 12),
              "Your Timed Sampling Session Completed Successfully!\r\n\r\nYour Data can be "
              "found in the following file:\r\n/logs/run1.qmx\r\n\r\nIt contains 12 "
              "samples.\r\n\r\n");
    EXPECT_EQ(FileExistsText("/logs/run1.qmx"),
              "File /logs/run1.qmx exists already.\r\n\r\nCannot OverWrite! Create another "
              "file or delete this one...");
}

} // namespace
