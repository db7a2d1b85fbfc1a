#include "meter/meterreading.h"
#include "meter/readnumber.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

using namespace qmx;

namespace {

// The fields of a line by their positions, and the units or status word of its end.
TEST(DecodeReading, DecodesFieldsByPosition) {
    const struct {
        const char* line;
        const char* modePrefix;
        const char* mode;
        const char* valueText;
        float value;
        const char* units;
    } cases[] = {{"", "", "", "", 0.0f, ""},
                 {"No Comm", "No", "No ", "Comm", 0.0f, "omm"},
                 {"DC -1.234 V", "DC", "DC", "-1.234", -1.234f, "Volts"},
                 {"AC  0.775 V", "AC", "AC", " 0.775", 0.775f, "Volts"},
                 {"AC  123.4 mV", "AC", "AC", " 123.4", 123.4f, " mV"},
                 {"FR  1.000 KHz", "FR", "FR", " 1.000", 1.0f, "KHz"},
                 {"FR  1.000 MHz", "FR", "FR", " 1.000", 1.0f, "MHz"},
                 {"OH  12.34 KOHM", "OH", "OH ", " 12.34", 12.34f, "Ohm"},
                 {"OH  1.234 MOHM", "OH", "OH ", " 1.234", 1.234f, "Mohm"},
                 {"OH    OL OPEN", "OH", "OH ", "   OL ", 0.0f, ""},
                 {"CO     0 SHORT", "CO", "CO ", "    0 ", 0.0f, ""},
                 {"DI  0.456 GOOD", "DI", "DI ", " 0.456", 0.456f, ""},
                 {"LG    HI HIGH", "LG", "LG ", "   HI ", 0.0f, ""},
                 {"LG    LO  LOW", "LG", "LG ", "   LO ", 0.0f, ""},
                 {"CT  0.000 NDET", "CT", "CT ", " 0.000", 0.0f, ""},
                 {"TEMP  25.3  C", "TE", "Temp", " 25.3", 25.3f, "  C"},
                 {"Temp  25.3  C", "Te", "Tem", "p  25.", 0.0f, "  C"},
                 {"CAP 47.00 nF", "CA", "CAP", " 47.00", 47.0f, " nF"},
                 {"DC 12", "DC", "DC", "12", 12.0f, " 12"},
                 {"DCV", "DC", "DC", "", 0.0f, "DCV"},
                 {"A", "A", "A", "", 0.0f, "A"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const MeterReading r = DecodeReading(QString::fromLatin1(c.line));
        EXPECT_EQ(r.Line, QString::fromLatin1(c.line));
        EXPECT_EQ(r.ModePrefix, QString::fromLatin1(c.modePrefix));
        EXPECT_EQ(r.Mode, QString::fromLatin1(c.mode));
        EXPECT_EQ(r.ValueText, QString::fromLatin1(c.valueText));
        EXPECT_FLOAT_EQ(r.Value, c.value);
        EXPECT_EQ(r.Units, QString::fromLatin1(c.units));
    }
}

// Only a line ending in a blank and a capital V is AC volts. Its level needs a positive
// value and a finite single, and is read from five value characters, the value from six.
TEST(DecodeReading, AcVoltsAndTheirLevel) {
    const struct {
        const char* line;
        bool acVolts;
        bool dbuValid;
        double dbu;
    } cases[] = {{"AC 0.7746 V", true, true, 0.0},   {"AC 7.746 V", true, true, 20.0},
                 {"AC .07746 V", true, true, -20.0}, {"AC  0.000 V", true, false, 0.0},
                 {"AC    OL V", true, false, 0.0},   {"AC -0.100 V", true, false, 0.0},
                 {"AC 9E999 V", true, false, 0.0},   {"AC  0.775 mV", false, false, 0.0},
                 {"AC  0.775 v", false, false, 0.0}, {"DC  0.775 V", false, false, 0.0}};
    for (const auto& c : cases) {
        const MeterReading r = DecodeReading(c.line);
        EXPECT_EQ(r.IsAcVolts, c.acVolts) << c.line;
        EXPECT_EQ(r.DbuValid, c.dbuValid) << c.line;
        EXPECT_NEAR(r.DbuValid ? r.Dbu : 0.0, c.dbu, 0.01) << c.line;
    }
    const MeterReading sixth = DecodeReading("AC 0.7749 V");
    EXPECT_FLOAT_EQ(sixth.Value, 0.7749f);
    EXPECT_DOUBLE_EQ(sixth.AcVolts, 0.774);
}

TEST(ReadNumber, ReadsTheLeadingNumber) {
    const std::pair<QString, double> cases[] = {{" 1.234", 1.234},
                                                {"-0.512", -0.512},
                                                {"OPEN", 0.0},
                                                {"1 2", 12.0},
                                                {"", 0.0},
                                                {"-", 0.0},
                                                {"+5", 5.0},
                                                {"1,5", 1.0},
                                                {"- 3 .2 5", -3.25},
                                                {"\t7\n.5", 7.5},
                                                {"1.2.3", 1.2},
                                                {"1E3", 1000.0},
                                                {"2.5e-2", 0.025},
                                                {"1D2", 100.0},
                                                {"4E", 4.0},
                                                {"4E+", 4.0},
                                                {".5", 0.5},
                                                {"12.34 KOHM", 12.34},
                                                {"  OL", 0.0},
                                                {"Comm", 0.0},
                                                {"x12", 0.0},
                                                {"1" + QString(400, '0'), INFINITY},
                                                {"-1E999", -INFINITY}};
    for (const auto& [text, number] : cases) {
        EXPECT_DOUBLE_EQ(ReadNumber(text), number) << qPrintable(text);
    }
}

TEST(ReadNumber, DecimalPointIsAFullStopWhateverTheLocale) {
    const std::string old = std::setlocale(LC_NUMERIC, nullptr);
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) {
        std::setlocale(LC_NUMERIC, "C.UTF-8");
    }
    EXPECT_DOUBLE_EQ(ReadNumber("1.25"), 1.25);
    EXPECT_DOUBLE_EQ(ReadNumber("1,25"), 1.0);
    std::setlocale(LC_NUMERIC, old.c_str());
}

} // namespace
