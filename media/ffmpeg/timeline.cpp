// SPDX-License-Identifier: GPL-2.0-or-later
#include "media/ffmpeg/timeline.h"

#include <algorithm>
#include <cstdlib>

namespace calvex::media::ffmpeg {
namespace {

// A step back beyond this is no reordering but a new part.
constexpr int64_t kBackUs = 500'000;
// A step ahead beyond this is no gap to fill but a new part (or a stamp gone wrong).
constexpr int64_t kAheadUs = 10'000'000;

int64_t Microseconds(int64_t value, AVRational timeBase)
{
    return av_rescale_q(value, timeBase, AV_TIME_BASE_Q);
}

} // namespace

Timeline::Timeline(const AVFormatContext* format, int64_t zero) : m_format(format), m_shifts{-zero}
{
}

void Timeline::Place(AVPacket* packet)
{
    if (packet->stream_index < 0)
        return;
    if (static_cast<size_t>(packet->stream_index) >= m_streams.size())
        m_streams.resize(packet->stream_index + 1);
    const AVRational timeBase = m_format->streams[packet->stream_index]->time_base;
    StreamState& stream = m_streams[packet->stream_index];
    // A presentation stamp far from its decoding stamp is wrong (a damaged
    // packet): the decoder guesses the time instead.
    if (packet->pts != AV_NOPTS_VALUE && packet->dts != AV_NOPTS_VALUE &&
        std::abs(Microseconds(packet->pts - packet->dts, timeBase)) > kAheadUs)
        packet->pts = AV_NOPTS_VALUE;
    const int64_t stamp = packet->dts != AV_NOPTS_VALUE ? packet->dts : packet->pts;
    if (stamp != AV_NOPTS_VALUE) {
        const int64_t sourceUs = Microseconds(stamp, timeBase);
        if (IsSplice(stream, sourceUs + m_shifts[stream.segment]))
            stream.segment = PartAfterSplice(stream, sourceUs);
        const int64_t placedUs = sourceUs + m_shifts[stream.segment];
        stream.lastEnd = placedUs + Microseconds(std::max<int64_t>(packet->duration, 0), timeBase);
    }
    const int64_t shift = av_rescale_q(m_shifts[stream.segment], AV_TIME_BASE_Q, timeBase);
    if (packet->pts != AV_NOPTS_VALUE)
        packet->pts += shift;
    if (packet->dts != AV_NOPTS_VALUE)
        packet->dts += shift;
}

int Timeline::PartAfterSplice(const StreamState& stream, int64_t sourceUs)
{
    // Another stream may have reached this splice first: the part it began
    // goes on from where this stream is too. Parts are found by where they
    // place the stream, not counted, so that a splice only one stream saw (a
    // stamp gone wrong in it) does not move the others at a later one.
    int best = -1;
    int64_t bestStep = 0;
    for (size_t part = stream.segment + 1; part < m_shifts.size(); ++part) {
        const int64_t placed = sourceUs + m_shifts[part];
        const int64_t step = std::abs(placed - stream.lastEnd);
        if (!IsSplice(stream, placed) && (best < 0 || step < bestStep)) {
            best = static_cast<int>(part);
            bestStep = step;
        }
    }
    if (best >= 0)
        return best;
    // The first stream to reach a splice goes on from where it was, and
    // sets the part's shift for the others.
    m_shifts.push_back(stream.lastEnd - sourceUs);
    return static_cast<int>(m_shifts.size()) - 1;
}

bool Timeline::IsSplice(const StreamState& stream, int64_t placed) const
{
    if (stream.lastEnd == AV_NOPTS_VALUE)
        return false;
    const int64_t step = placed - stream.lastEnd;
    return step < -kBackUs || step > kAheadUs;
}

} // namespace calvex::media::ffmpeg
