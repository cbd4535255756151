// SPDX-License-Identifier: GPL-2.0-or-later
// The time left for a whole batch: the work still to do at the batch's speed
// so far. A file's work is its length weighted by its pictures' pixels per
// second, so that a minute of 1080p counts for more than a minute of 360p.
#pragma once

#include <cstddef>
#include <vector>

namespace calvex::cli {

struct SourceWork {
    bool readable = true;       // false: the file will fail, at no cost
    double seconds = 0;         // the source's length; 0 unknown
    double pixelsPerSecond = 0; // its pictures' pixel rate; 0 unknown
};

class BatchClock {
public:
    // Unknown lengths and pixel rates count as the mean of the known ones;
    // unreadable files as nothing.
    explicit BatchClock(const std::vector<SourceWork>& sources);

    // The file at index has ended after convertedSeconds of its source.
    void EndFile(size_t index, double convertedSeconds);

    // Seconds left for the batch while the file at index has converted
    // fileDoneSeconds, elapsedSeconds after the batch started; -1 while it
    // cannot be told.
    double LeftSeconds(size_t index, double fileDoneSeconds, double elapsedSeconds) const;

private:
    std::vector<double> m_lengths;
    std::vector<double> m_weights; // work per second of each source
    double m_workBefore = 0;       // the work of the files that ended
};

} // namespace calvex::cli
