// SPDX-License-Identifier: GPL-2.0-or-later
// The job's one timeline for all streams of a source. Time stamps start at
// the job's zero; where a stream's stamps jump back, or far ahead (two
// recordings joined, a stamp gone wrong), the source is spliced: the later
// part goes on from where the first stream to reach the splice was, and the
// other streams take the same shift, so that picture and sound stay together
// across it.
#pragma once

#include <cstdint>
#include <vector>

extern "C" {
#include <libavcodec/packet.h>
#include <libavformat/avformat.h>
}

namespace calvex::media::ffmpeg {

class Timeline {
public:
    // zero: the job's zero, in AV_TIME_BASE.
    Timeline(const AVFormatContext* format, int64_t zero);

    // Moves the packet's stamps (in its stream's time base) onto the timeline.
    void Place(AVPacket* packet);

private:
    struct StreamState {
        int segment = 0;                  // the part of the source it is in
        int64_t lastEnd = AV_NOPTS_VALUE; // where its last packet ended, on the timeline (us)
    };

    bool IsSplice(const StreamState& stream, int64_t placed) const;
    // The part of the source a stream enters at a splice (at sourceUs).
    int PartAfterSplice(const StreamState& stream, int64_t sourceUs);

    const AVFormatContext* m_format;
    std::vector<StreamState> m_streams;
    std::vector<int64_t> m_shifts; // per segment: from the source's stamps to the timeline (us)
};

} // namespace calvex::media::ffmpeg
