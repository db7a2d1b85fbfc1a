#include "logging/samplerow.h"

#include <QLocale>

#include <cmath>

#include <gtest/gtest.h>

using namespace qmx;

namespace {

struct Case {
    const char* line;
    const char* type;
    const char* units;
    std::optional<float> value;
};

class SampleRowTest : public ::testing::TestWithParam<Case> {};

TEST_P(SampleRowTest, RowRulesOfTheLogger) {
    const auto row = BuildSampleRow(GetParam().line, "dBu Not Valid", 3.0f, QTime(15, 25, 7));
    ASSERT_TRUE(row.has_value());
    EXPECT_EQ(row->TimeStamp, "3:25:07 PM");
    EXPECT_EQ(row->Type, GetParam().type);
    EXPECT_EQ(row->Units, GetParam().units);
    ASSERT_EQ(row->Value.has_value(), GetParam().value.has_value());
    if (row->Value) {
        EXPECT_FLOAT_EQ(*row->Value, *GetParam().value);
    }
    EXPECT_FALSE(row->Dbu.has_value());
}

INSTANTIATE_TEST_SUITE_P(Lines, SampleRowTest,
                         ::testing::Values(Case{"DC -1.234 V", "DC", " V", -1.234f},
                                           Case{"AC  0.775 V", "AC", " V", 0.775f},
                                           Case{"FR  1.000 KHz", "FR", "KHz", 1.0f},
                                           Case{"FR  1.000 MHz", "FR", "MHz", 1.0f},
                                           Case{"TEMP  25.3  C", "Temp", " C", 25.0f},
                                           Case{"OH  12.34 KOHM", "OH", "Ohm", std::nullopt},
                                           Case{"OH  1.234 MOHM", "OH", "Mohm", std::nullopt},
                                           Case{"DC    OL OPEN", "DC", "", 0.0f},
                                           Case{"DC  1.234 OPEN", "DC", "", 1.234f},
                                           Case{"CO     0 SHORT", "CO", "", std::nullopt},
                                           Case{"AC  123.4 mV", "AC", "mV", 123.4f},
                                           Case{"DC 1E+39 V", "DC", " V", std::nullopt},
                                           Case{"DC 9E999 V", "DC", " V", std::nullopt}));

TEST(SampleRow, NoCommOrNoLineYetWritesNothing) {
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

} // namespace
