#include "display/numberformat.h"

#include <gtest/gtest.h>

using namespace qmx;

namespace {

struct Case {
    double value;
    const char* text;
};

class ZeroZeroTest : public ::testing::TestWithParam<Case> {};
TEST_P(ZeroZeroTest, Formats) {
    EXPECT_EQ(FormatZeroZero(GetParam().value), GetParam().text);
}
INSTANTIATE_TEST_SUITE_P(Examples, ZeroZeroTest,
                         ::testing::Values(Case{5.234, "05.23"}, Case{-3.1, "-03.10"},
                                           Case{123.456, "123.46"}, Case{0.0, "00.00"},
                                           Case{20.0, "20.00"}, Case{-0.001, "00.00"}));

class ScaleTest : public ::testing::TestWithParam<Case> {};
TEST_P(ScaleTest, Formats) {
    EXPECT_EQ(FormatScale(GetParam().value), GetParam().text);
}
INSTANTIATE_TEST_SUITE_P(Examples, ScaleTest,
                         ::testing::Values(Case{2.0, "2.00"}, Case{0.5, ".50"}, Case{0.125, ".125"},
                                           Case{0.075, ".075"}, Case{-2.5, "-2.50"},
                                           Case{1000.0, "1000.00"}, Case{-0.25, "-.25"},
                                           Case{0.1, ".10"}, Case{0.025, ".025"},
                                           Case{1.5, "1.50"}));

class SignedTest : public ::testing::TestWithParam<Case> {};
TEST_P(SignedTest, Formats) {
    EXPECT_EQ(FormatSigned(GetParam().value), GetParam().text);
}
INSTANTIATE_TEST_SUITE_P(Examples, SignedTest,
                         ::testing::Values(Case{12.3456, "+12.346"}, Case{0.5, "+0.50"},
                                           Case{-3.0, "-3.00"}, Case{0.0, "+0.00"},
                                           Case{-50000.0, "-50000.00"}, Case{50000.0, "+50000.00"},
                                           Case{0.25, "+0.25"}, Case{-1.5, "-1.50"}));

struct GeneralCase {
    float value;
    const char* text;
};
class GeneralTest : public ::testing::TestWithParam<GeneralCase> {};
TEST_P(GeneralTest, Formats) {
    EXPECT_EQ(FormatGeneral(GetParam().value), GetParam().text);
}
INSTANTIATE_TEST_SUITE_P(
    Examples, GeneralTest,
    ::testing::Values(GeneralCase{1.4f, "1.4"}, GeneralCase{0.5f, "0.5"},
                      GeneralCase{-1.234f, "-1.234"}, GeneralCase{0.0f, "0"},
                      GeneralCase{25.0f, "25"}, GeneralCase{1234567.0f, "1234567"},
                      GeneralCase{12345678.0f, "1.234568E+07"}, GeneralCase{1e7f, "1E+07"},
                      GeneralCase{0.0001f, "0.0001"}, GeneralCase{0.00001f, "1E-05"},
                      GeneralCase{0.00012345678f, "0.0001234568"},
                      GeneralCase{-0.000012f, "-1.2E-05"}, GeneralCase{3.3f, "3.3"},
                      GeneralCase{0.1f, "0.1"}, GeneralCase{100.25f, "100.25"}));

} // namespace
