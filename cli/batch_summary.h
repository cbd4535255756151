// SPDX-License-Identifier: GPL-2.0-or-later
// What a batch did with each of its files, and the summary printed at its end.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace calvex::cli {

struct FileReport {
    enum class Result { Completed, Failed, Refused, Aborted, Skipped };
    std::string source;
    std::string output;
    Result result = Result::Skipped;
    std::string reason;       // why it failed or was refused
    uintmax_t outputSize = 0; // bytes of the output left; 0 when none
    double seconds = 0;       // wall time spent on it
};

// One line per file (its result, the output and its size, the time; a
// failure's reason below it), then the totals.
std::string BatchSummary(const std::vector<FileReport>& files, double totalSeconds);

} // namespace calvex::cli
