// The texts and colours the display rules give, whatever the locale.
#include "display/displaycolors.h"
#include "display/numberformat.h"
#include "display/readingmodel.h"

#include <QLocale>

#include <span>

#include <gtest/gtest.h>

using namespace qmx;

namespace {

TEST(ClockText, AlwaysElevenCharactersInTwelveHourFormWhateverTheLocale) {
    const QLocale before;
    for (const char* name : {"de_DE", "en_US", "ja_JP", "ar_EG"}) {
        QLocale::setDefault(QLocale(name));
        EXPECT_EQ(ReadingModel::FormatClockText(QTime(9, 5, 3)), "09:05:03 AM") << name;
        EXPECT_EQ(ReadingModel::FormatClockText(QTime(23, 59, 50)), "11:59:50 PM") << name;
        EXPECT_EQ(ReadingModel::FormatClockText(QTime(0, 0, 10)), "12:00:10 AM") << name;
    }
    QLocale::setDefault(before);
}

using Examples = std::pair<double, const char*>[];

void expectTexts(QString (*format)(double),
                 std::span<const std::pair<double, const char*>> examples) {
    for (const auto& [value, text] : examples) {
        EXPECT_EQ(format(value), text) << value;
    }
}

TEST(NumberFormats, GiveTheTextsOfTheLevelTheScaleTheReadoutAndTheValue) {
    const Examples zeroZero = {{5.234, "05.23"}, {-3.1, "-03.10"}, {123.456, "123.46"},
                               {0.0, "00.00"},   {20.0, "20.00"},  {-0.001, "00.00"}};
    const Examples scale = {{2.0, "2.00"},   {0.5, ".50"},        {0.125, ".125"}, {0.075, ".075"},
                            {-2.5, "-2.50"}, {1000.0, "1000.00"}, {-0.25, "-.25"}, {0.1, ".10"},
                            {0.025, ".025"}, {1.5, "1.50"}};
    const Examples signedTexts = {
        {12.3456, "+12.346"},    {0.5, "+0.50"},         {-3.0, "-3.00"}, {0.0, "+0.00"},
        {-50000.0, "-50000.00"}, {50000.0, "+50000.00"}, {0.25, "+0.25"}, {-1.5, "-1.50"}};
    const Examples plain = {{1.4, "1.4"},       {-1.234, "-1.234"}, {0.0, "0"},
                            {25.0, "25"},       {3.3, "3.3"},       {0.1, "0.1"},
                            {0.0001, "0.0001"}, {100.25, "100.25"}};
    // Seven significant digits at most, and the exponent form where they do not reach.
    const Examples digits = {
        {1234567.0, "1234567"}, {12345678.0, "1.234568E+07"},    {1e7, "1E+07"},
        {0.00001, "1E-05"},     {0.00012345678, "0.0001234568"}, {-0.000012, "-1.2E-05"}};
    expectTexts(FormatZeroZero, zeroZero);
    expectTexts(FormatScale, scale);
    expectTexts(FormatSigned, signedTexts);
    const auto general = [](double v) { return FormatGeneral(float(v)); };
    expectTexts(general, plain);
    expectTexts(general, digits);
}

// The foreground never takes the background's colour: black and white swap.
TEST(DisplayColors, KeepTheForegroundOffTheBackground) {
    const struct {
        qint32 foreground;
        qint32 background;
        qint32 expectedForeground;
        bool whiteEnabled;
        bool blackEnabled;
    } cases[] = {{VbColor::kWhite, VbColor::kWhite, VbColor::kBlack, false, true},
                 {VbColor::kBlack, VbColor::kBlack, VbColor::kWhite, true, false},
                 {VbColor::kYellow, VbColor::kBlack, VbColor::kYellow, true, false},
                 {VbColor::kYellow, VbColor::kWhite, VbColor::kYellow, false, true},
                 {VbColor::kRed, 0x123456, VbColor::kRed, true, true}};
    for (const auto& c : cases) {
        DisplayColors colors;
        colors.SetForeground(c.foreground);
        colors.SetBackground(c.background);
        EXPECT_EQ(colors.Foreground, c.expectedForeground)
            << c.foreground << " on " << c.background;
        EXPECT_EQ(colors.FgWhiteEnabled, c.whiteEnabled) << c.foreground << " on " << c.background;
        EXPECT_EQ(colors.FgBlackEnabled, c.blackEnabled) << c.foreground << " on " << c.background;
    }
}

} // namespace
