#include "meter/readnumber.h"

#include <QLocale>
#include <QString>

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

using namespace qmx;

namespace {

struct Case {
    const char* text;
    double expected;
};

class ReadNumberTest : public ::testing::TestWithParam<Case> {};

TEST_P(ReadNumberTest, ReadsTheLeadingNumber) {
    EXPECT_DOUBLE_EQ(ReadNumber(QString::fromLatin1(GetParam().text)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, ReadNumberTest,
                         ::testing::Values(Case{" 1.234", 1.234}, Case{"-0.512", -0.512},
                                           Case{"OPEN", 0.0}, Case{"1 2", 12.0}, Case{"", 0.0},
                                           Case{"-", 0.0}, Case{"+5", 5.0}, Case{"1,5", 1.0},
                                           Case{"- 3 .2 5", -3.25}, Case{"\t7\n.5", 7.5},
                                           Case{"1.2.3", 1.2}, Case{"1E3", 1000.0},
                                           Case{"2.5e-2", 0.025}, Case{"1D2", 100.0},
                                           Case{"4E", 4.0}, Case{"4E+", 4.0}, Case{".5", 0.5},
                                           Case{"12.34 KOHM", 12.34}, Case{"  OL", 0.0},
                                           Case{"Comm", 0.0}, Case{"x12", 0.0}));

TEST(ReadNumber, BeyondTheDoubleRangeIsInfinityOfItsSign) {
    EXPECT_EQ(ReadNumber("1" + QString(400, '0')), INFINITY);
    EXPECT_EQ(ReadNumber("-1E999"), -INFINITY);
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
