#include "logging/runcontrol.h"

#include <gtest/gtest.h>

using namespace qmx;

namespace {

using namespace RunControl;

struct IntervalCase {
    const char* typed;
    const char* shown;
    qint32 ms;
};

class IntervalTest : public ::testing::TestWithParam<IntervalCase> {};

TEST_P(IntervalTest, ClampsOnLeavingTheField) {
    const QString shown = CorrectedInterval(GetParam().typed);
    EXPECT_EQ(shown, GetParam().shown);
    EXPECT_EQ(IntervalMs(shown), GetParam().ms);
}

INSTANTIATE_TEST_SUITE_P(
    Typed, IntervalTest,
    ::testing::Values(IntervalCase{"0.2", "0.5", 500}, IntervalCase{"75", "60.0", 60000},
                      IntervalCase{"1.25", "1.25", 1250}, IntervalCase{"", "0.5", 500},
                      IntervalCase{"fast", "0.5", 500}, IntervalCase{"2,5", "2,5", 2000},
                      IntervalCase{"1e99", "60.0", 60000}, IntervalCase{"0.5005", "0.5005", 500}));

TEST(IntervalText, ShowsAPlainDecimal) {
    EXPECT_EQ(IntervalText(1000), "1");
    EXPECT_EQ(IntervalText(500), "0.5");
    EXPECT_EQ(IntervalText(1250), "1.25");
}

TEST(TimeOfDay, ValidTwelveHourTimesOnly) {
    EXPECT_TRUE(IsTimeOfDay("09:05:03 PM"));
    EXPECT_TRUE(IsTimeOfDay("12:00:10 AM"));
    EXPECT_FALSE(IsTimeOfDay("  :  :   "));
    EXPECT_FALSE(IsTimeOfDay("13:00:00 PM"));
    EXPECT_FALSE(IsTimeOfDay("09:61:00 AM"));
    EXPECT_FALSE(IsTimeOfDay(""));
}

struct ReachedCase {
    const char* target;
    const char* previous;
    const char* clock;
    bool reached;
};

class TimeReachedTest : public ::testing::TestWithParam<ReachedCase> {};

TEST_P(TimeReachedTest, ExactOrPassedSinceThePreviousTick) {
    EXPECT_EQ(TimeReached(GetParam().target, GetParam().previous, GetParam().clock),
              GetParam().reached);
}

INSTANTIATE_TEST_SUITE_P(
    Ticks, TimeReachedTest,
    ::testing::Values(ReachedCase{"10:00:00 AM", "09:59:59 AM", "10:00:00 AM", true},
                      ReachedCase{"10:00:00 AM", "", "10:00:00 AM", true},
                      ReachedCase{"10:00:00 AM", "09:59:58 AM", "10:00:01 AM", true},
                      ReachedCase{"10:00:00 AM", "10:00:00 AM", "10:00:01 AM", false},
                      ReachedCase{"10:00:00 AM", "09:59:58 AM", "09:59:59 AM", false},
                      ReachedCase{"12:00:00 AM", "11:59:59 PM", "12:00:01 AM", true},
                      ReachedCase{"10:00:00 AM", "08:00:00 AM", "11:00:00 AM", false},
                      ReachedCase{"  :  :   ", "09:59:58 AM", "10:00:01 AM", false}));

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
