// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/batch_summary.h"

#include <array>
#include <cstdio>

#include "cli/progress_line.h"

namespace calvex::cli {

namespace {

using Result = FileReport::Result;
constexpr std::array kResultWords{"completed", "failed", "refused", "aborted", "skipped"};
constexpr const char* kReasonIndent = "\n             ";

const char* Word(Result result)
{
    return kResultWords[static_cast<size_t>(result)];
}

std::string Megabytes(uintmax_t bytes)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / 1e6);
    return text;
}

// A reason of several lines, each under the first.
std::string Indented(const std::string& text)
{
    std::string indented;
    for (const char c : text)
        indented += c == '\n' ? std::string(kReasonIndent) : std::string(1, c);
    return indented;
}

std::string FileLine(const FileReport& file)
{
    char head[16];
    std::snprintf(head, sizeof head, "  %-10s ", Word(file.result));
    std::string line = head + file.source;
    if (file.outputSize > 0)
        line += " -> " + file.output + "  " + Megabytes(file.outputSize);
    if (file.result != Result::Skipped)
        line += "  " + Clock(file.seconds);
    if (!file.reason.empty())
        line += kReasonIndent + Indented(file.reason);
    return line + "\n";
}

} // namespace

std::string BatchSummary(const std::vector<FileReport>& files, double totalSeconds)
{
    std::array<size_t, kResultWords.size()> counts{};
    uintmax_t bytes = 0;
    std::string summary = "Summary:\n";
    for (const FileReport& file : files) {
        ++counts[static_cast<size_t>(file.result)];
        bytes += file.outputSize;
        summary += FileLine(file);
    }
    summary +=
        "Completed " + std::to_string(counts[0]) + " of " + std::to_string(files.size()) + " files";
    std::string others;
    for (size_t result = 1; result < counts.size(); ++result) {
        if (counts[result] > 0)
            others += (others.empty() ? "" : ", ") + std::to_string(counts[result]) + " " +
                      kResultWords[result];
    }
    if (!others.empty())
        summary += " (" + others + ")";
    return summary + ": " + Megabytes(bytes) + " in " + Clock(totalSeconds) + "\n";
}

} // namespace calvex::cli
