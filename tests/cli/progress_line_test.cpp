// SPDX-License-Identifier: GPL-2.0-or-later
#include <gtest/gtest.h>

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
