// SPDX-License-Identifier: GPL-2.0-or-later
// The converter's progress as a person reads it, and as key=value lines for
// programs that drive the converter.
#pragma once

#include <string>

#include "job/front_end.h"

namespace calvex::cli {

// Where a job stands after elapsedSeconds of wall time.
struct ProgressFigures {
    int percent = 0;
    double doneSeconds = 0;
    double totalSeconds = 0; // 0 when the source's length is unknown
    double speed = 0;        // seconds converted per second of wall time; 0 unknown
    double leftSeconds = -1; // -1 when unknown
};

ProgressFigures FiguresOf(const job::JobProgress& progress, double elapsedSeconds);

// "42%  0:00:25 of 0:01:00  2.1x  0:00:17 left"
std::string HumanLine(const ProgressFigures& figures);

// "percent=42\nout_time=00:00:25.000\nspeed=2.10\neta=17\nprogress=continue\n",
// with more lines (a batch's keys) before the last.
std::string MachineLines(const ProgressFigures& figures, bool end, const std::string& more = {});

// "file 2 of 5  " + fileLine + "  batch 0:03:10 left"
std::string BatchLine(size_t index, size_t count, const std::string& fileLine, double batchLeft);

// H:MM:SS of a number of seconds.
std::string Clock(double seconds);

} // namespace calvex::cli
