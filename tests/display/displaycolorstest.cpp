#include "display/displaycolors.h"

#include <gtest/gtest.h>

using namespace qmx;

namespace {

struct Case {
    qint32 foreground;
    qint32 background;
    qint32 expectedForeground;
    bool whiteEnabled;
    bool blackEnabled;
};

class NoSameFGBGTest : public ::testing::TestWithParam<Case> {};

TEST_P(NoSameFGBGTest, KeepsForegroundOffTheBackground) {
    DisplayColors colors;
    colors.SetForeground(GetParam().foreground);
    colors.SetBackground(GetParam().background);
    EXPECT_EQ(colors.Foreground, GetParam().expectedForeground);
    EXPECT_EQ(colors.FgWhiteEnabled, GetParam().whiteEnabled);
    EXPECT_EQ(colors.FgBlackEnabled, GetParam().blackEnabled);
}

INSTANTIATE_TEST_SUITE_P(
    Switches, NoSameFGBGTest,
    ::testing::Values(Case{VbColor::kWhite, VbColor::kWhite, VbColor::kBlack, false, true},
                      Case{VbColor::kBlack, VbColor::kBlack, VbColor::kWhite, true, false},
                      Case{VbColor::kYellow, VbColor::kBlack, VbColor::kYellow, true, false},
                      Case{VbColor::kYellow, VbColor::kWhite, VbColor::kYellow, false, true},
                      Case{VbColor::kRed, 0x123456, VbColor::kRed, true, true}));

} // namespace
