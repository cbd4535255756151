// SPDX-License-Identifier: GPL-2.0-or-later
#include <gtest/gtest.h>

#include "cli/batch_clock.h"
#include "cli/progress_line.h"

using namespace calvex::cli;

TEST(ProgressLineTest, SpeedAndTimeLeftComeFromTheWallClock)
{
    // 25 s of a 100 s source converted in 10 s: 2.5 times real time, 30 s left.
    const ProgressFigures figures = FiguresOf({25, 250'000'000, 1'000'000'000}, 10.0);
    EXPECT_EQ(HumanLine(figures), " 25%  0:00:25 of 0:01:40  2.5x  0:00:30 left");
    EXPECT_EQ(MachineLines(figures, false),
              "percent=25\nout_time=00:00:25.000\nspeed=2.50\neta=30\nprogress=continue\n");
    // Unknown length and nothing converted yet: only what is known.
    EXPECT_EQ(HumanLine(FiguresOf({0, 0, 0}, 1.0)), "  0%  0:00:00");
    EXPECT_EQ(Clock(3725.4), "1:02:05");
}

TEST(ProgressLineTest, ABatchsTimeLeftIsItsWorkLeftAtTheSpeedSoFar)
{
    // Work: 60 s at 2 units a second, an unknown length (the mean, 40 s) at
    // 1, and 20 s at an unknown rate (the mean, 1.5). The first file ended
    // after its 60 s (120); the second has done 10 s (10): 130 units in 65 s
    // of wall time is 2 a second; 30 + 30 units are left: 30 s.
    BatchClock clock({{true, 60, 2}, {true, 0, 1}, {true, 20, 0}});
    EXPECT_EQ(clock.LeftSeconds(0, 0, 5), -1); // nothing converted yet
    clock.EndFile(0, 60);
    EXPECT_DOUBLE_EQ(clock.LeftSeconds(1, 10, 65), 30);
    EXPECT_EQ(BatchLine(1, 3, "50%", 30), "file 2 of 3  50%  batch 0:00:30 left");
    // A file that cannot be read counts for nothing; no length known, no time.
    EXPECT_DOUBLE_EQ(BatchClock({{true, 10, 1}, {false, 0, 0}}).LeftSeconds(0, 5, 5), 5);
    EXPECT_EQ(BatchClock({{true, 0, 0}, {true, 0, 0}}).LeftSeconds(0, 10, 5), -1);
}
