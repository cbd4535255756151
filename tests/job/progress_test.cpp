// SPDX-License-Identifier: GPL-2.0-or-later
// The progress bar's arithmetic at its edges.
#include <gtest/gtest.h>

#include "job/progress.h"

using namespace calvex::job;

TEST(ProgressPercentTest, RoundsDownAndSurvivesOddDivisorsAndOverflow)
{
    EXPECT_EQ(ProgressPercent(1'000'000'000, 1'000'000'000), 99); // the end shows 99
    EXPECT_EQ(ProgressPercent(3, 0), 300);
    EXPECT_EQ(ProgressPercent(-50, 99), -50); // truncated toward zero
    // 2^32 + 5 percent: only the low 32 bits reach the bar.
    EXPECT_EQ(ProgressPercent((int64_t{1} << 32) + 5, 99), 5);
    EXPECT_EQ(ProgressPercent(10, -1), 0);
    // 2^61 * 100 wraps to the most negative value, which -1 cannot divide.
    EXPECT_EQ(ProgressPercent(int64_t{1} << 61, -2), 0);
    EXPECT_EQ(ClampProgress(300), 100);
    EXPECT_EQ(ClampProgress(-7), 0);
    EXPECT_EQ(ClampProgress(49), 49);
}
