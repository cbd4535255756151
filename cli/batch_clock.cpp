// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/batch_clock.h"

#include <algorithm>

namespace calvex::cli {

namespace {

// The values, their unknown (not positive) ones replaced by the mean of the
// known ones, or by fallback when none is known.
std::vector<double> Filled(std::vector<double> values, double fallback)
{
    double known = 0;
    size_t count = 0;
    for (const double value : values) {
        if (value > 0) {
            known += value;
            ++count;
        }
    }
    for (double& value : values) {
        if (value <= 0)
            value = count > 0 ? known / static_cast<double>(count) : fallback;
    }
    return values;
}

} // namespace

BatchClock::BatchClock(const std::vector<SourceWork>& sources)
{
    std::vector<double> lengths;
    std::vector<double> rates;
    for (const SourceWork& source : sources) {
        lengths.push_back(source.readable ? source.seconds : 0);
        rates.push_back(source.readable ? source.pixelsPerSecond : 0);
    }
    m_lengths = Filled(lengths, 0);
    m_weights = Filled(rates, 1);
    for (size_t index = 0; index < sources.size(); ++index) {
        if (!sources[index].readable)
            m_lengths[index] = 0;
    }
}

void BatchClock::EndFile(size_t index, double convertedSeconds)
{
    if (index < m_weights.size())
        m_workBefore += std::max(0.0, convertedSeconds) * m_weights[index];
}

double BatchClock::LeftSeconds(size_t index, double fileDoneSeconds, double elapsedSeconds) const
{
    const bool anyLength =
        std::any_of(m_lengths.begin(), m_lengths.end(), [](double length) { return length > 0; });
    if (index >= m_lengths.size() || elapsedSeconds <= 0 || !anyLength)
        return -1;
    const double done = m_workBefore + std::max(0.0, fileDoneSeconds) * m_weights[index];
    if (done <= 0)
        return -1;
    double left = std::max(0.0, m_lengths[index] - fileDoneSeconds) * m_weights[index];
    for (size_t later = index + 1; later < m_lengths.size(); ++later)
        left += m_lengths[later] * m_weights[later];
    return left / (done / elapsedSeconds);
}

} // namespace calvex::cli
