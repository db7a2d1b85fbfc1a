#include "meter/meterreading.h"

#include <gtest/gtest.h>

using namespace qmx;

namespace {

struct Case {
    const char* line;
    const char* modePrefix;
    const char* mode;
    const char* valueText;
    float value;
    const char* units;
    bool isAcVolts;
};

class DecodeTest : public ::testing::TestWithParam<Case> {};

TEST_P(DecodeTest, DecodesFieldsByPosition) {
    const Case& c = GetParam();
    const MeterReading r = DecodeReading(QString::fromLatin1(c.line));
    EXPECT_EQ(r.Line, QString::fromLatin1(c.line));
    EXPECT_EQ(r.ModePrefix, QString::fromLatin1(c.modePrefix));
    EXPECT_EQ(r.Mode, QString::fromLatin1(c.mode));
    EXPECT_EQ(r.ValueText, QString::fromLatin1(c.valueText));
    EXPECT_FLOAT_EQ(r.Value, c.value);
    EXPECT_EQ(r.Units, QString::fromLatin1(c.units));
    EXPECT_EQ(r.IsAcVolts, c.isAcVolts);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, DecodeTest,
    ::testing::Values(Case{"", "", "", "", 0.0f, "", false},
                      Case{"No Comm", "No", "No ", "Comm", 0.0f, "omm", false},
                      Case{"DC -1.234 V", "DC", "DC", "-1.234", -1.234f, "Volts", false},
                      Case{"AC  0.775 V", "AC", "AC", " 0.775", 0.775f, "Volts", true},
                      Case{"AC  123.4 mV", "AC", "AC", " 123.4", 123.4f, " mV", false},
                      Case{"FR  1.000 KHz", "FR", "FR", " 1.000", 1.0f, "KHz", false},
                      Case{"FR  1.000 MHz", "FR", "FR", " 1.000", 1.0f, "MHz", false},
                      Case{"OH  12.34 KOHM", "OH", "OH ", " 12.34", 12.34f, "Ohm", false},
                      Case{"OH  1.234 MOHM", "OH", "OH ", " 1.234", 1.234f, "Mohm", false},
                      Case{"OH    OL OPEN", "OH", "OH ", "   OL ", 0.0f, "", false},
                      Case{"DC  1.234 OPEN", "DC", "DC", " 1.234", 1.234f, "", false},
                      Case{"CO     0 SHORT", "CO", "CO ", "    0 ", 0.0f, "", false},
                      Case{"DI  0.456 GOOD", "DI", "DI ", " 0.456", 0.456f, "", false},
                      Case{"LG    HI HIGH", "LG", "LG ", "   HI ", 0.0f, "", false},
                      Case{"LG    LO  LOW", "LG", "LG ", "   LO ", 0.0f, "", false},
                      Case{"CT  0.000 NDET", "CT", "CT ", " 0.000", 0.0f, "", false},
                      Case{"TEMP  25.3  C", "TE", "Temp", " 25.3", 25.3f, "  C", false},
                      Case{"Temp  25.3  C", "Te", "Tem", "p  25.", 0.0f, "  C", false},
                      Case{"CAP 47.00 nF", "CA", "CAP", " 47.00", 47.0f, " nF", false},
                      Case{"DC 12", "DC", "DC", "12", 12.0f, " 12", false},
                      Case{"DCV", "DC", "DC", "", 0.0f, "DCV", false},
                      Case{"A", "A", "A", "", 0.0f, "A", false}));

TEST(DecodeAcVolts, SixthValueCharacterCountsForValueButNotForDbu) {
    const MeterReading r = DecodeReading("AC 0.7749 V");
    EXPECT_TRUE(r.IsAcVolts);
    EXPECT_FLOAT_EQ(r.Value, 0.7749f);
    EXPECT_DOUBLE_EQ(r.AcVolts, 0.774);
}

struct DbuCase {
    const char* line;
    float dbu;
};

class DbuTest : public ::testing::TestWithParam<DbuCase> {};

TEST_P(DbuTest, ReferencePoints) {
    const MeterReading r = DecodeReading(QString::fromLatin1(GetParam().line));
    ASSERT_TRUE(r.DbuValid);
    EXPECT_NEAR(r.Dbu, GetParam().dbu, 0.01);
}

INSTANTIATE_TEST_SUITE_P(Levels, DbuTest,
                         ::testing::Values(DbuCase{"AC 0.7746 V", 0.0f},
                                           DbuCase{"AC 7.746 V", 20.0f},
                                           DbuCase{"AC .07746 V", -20.0f}));

TEST(DecodeAcVolts, ZeroNoNumberOrNoFiniteLevelHasNoDbu) {
    for (const char* line : {"AC  0.000 V", "AC    OL V", "AC -0.100 V", "AC 9E999 V"}) {
        const MeterReading r = DecodeReading(line);
        EXPECT_TRUE(r.IsAcVolts) << line;
        EXPECT_FALSE(r.DbuValid) << line;
    }
}

TEST(DecodeAcVolts, OnlyAnEndingOfBlankAndCapitalVIsAcVolts) {
    EXPECT_FALSE(DecodeReading("AC  0.775 mV").IsAcVolts);
    EXPECT_FALSE(DecodeReading("AC  0.775 v").IsAcVolts);
    EXPECT_FALSE(DecodeReading("DC  0.775 V").IsAcVolts);
}

} // namespace
