// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/progress_line.h"

#include <cmath>
#include <cstdio>

namespace calvex::cli {

namespace {

constexpr double kHnsPerSecond = 1e7;

std::string Printed(const char* format, auto... values)
{
    char text[160];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

} // namespace

ProgressFigures FiguresOf(const job::JobProgress& progress, double elapsedSeconds)
{
    ProgressFigures figures;
    figures.percent = progress.percent;
    figures.doneSeconds = static_cast<double>(progress.positionHns) / kHnsPerSecond;
    figures.totalSeconds = static_cast<double>(progress.durationHns) / kHnsPerSecond;
    if (elapsedSeconds > 0 && figures.doneSeconds > 0)
        figures.speed = figures.doneSeconds / elapsedSeconds;
    if (figures.speed > 0 && figures.totalSeconds > 0)
        figures.leftSeconds =
            std::max(0.0, figures.totalSeconds - figures.doneSeconds) / figures.speed;
    return figures;
}

std::string Clock(double seconds)
{
    const long whole = std::lround(std::max(0.0, seconds));
    return Printed("%ld:%02ld:%02ld", whole / 3600, whole / 60 % 60, whole % 60);
}

std::string HumanLine(const ProgressFigures& figures)
{
    std::string line = Printed("%3d%%  %s", figures.percent, Clock(figures.doneSeconds).c_str());
    if (figures.totalSeconds > 0)
        line += " of " + Clock(figures.totalSeconds);
    if (figures.speed > 0)
        line += Printed("  %.1fx", figures.speed);
    if (figures.leftSeconds >= 0)
        line += "  " + Clock(figures.leftSeconds) + " left";
    return line;
}

std::string MachineLines(const ProgressFigures& figures, bool end, const std::string& more)
{
    const double done = std::max(0.0, figures.doneSeconds);
    const long whole = static_cast<long>(done);
    return Printed("percent=%d\nout_time=%02ld:%02ld:%06.3f\nspeed=%.2f\neta=%s\n", figures.percent,
                   whole / 3600, whole / 60 % 60, done - whole / 60 * 60, figures.speed,
                   figures.leftSeconds >= 0 ? Printed("%.0f", figures.leftSeconds).c_str()
                                            : "N/A") +
           more + (end ? "progress=end\n" : "progress=continue\n");
}

std::string BatchLine(size_t index, size_t count, const std::string& fileLine, double batchLeft)
{
    std::string line = Printed("file %zu of %zu  ", index + 1, count) + fileLine;
    if (batchLeft >= 0)
        line += "  batch " + Clock(batchLeft) + " left";
    return line;
}

} // namespace calvex::cli
