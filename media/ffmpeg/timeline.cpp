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
        if (IsSplice(stream, sourceUs + m_shifts[stream.segment])) {
            // The first stream to reach a splice goes on from where it was,
            // and sets the shift of the part for the others.
            if (++stream.segment == static_cast<int>(m_shifts.size()))
                m_shifts.push_back(stream.lastEnd - sourceUs);
        }
        const int64_t placedUs = sourceUs + m_shifts[stream.segment];
        stream.lastEnd = placedUs + Microseconds(std::max<int64_t>(packet->duration, 0), timeBase);
    }
    const int64_t shift = av_rescale_q(m_shifts[stream.segment], AV_TIME_BASE_Q, timeBase);
    if (packet->pts != AV_NOPTS_VALUE)
        packet->pts += shift;
    if (packet->dts != AV_NOPTS_VALUE)
        packet->dts += shift;
}

bool Timeline::IsSplice(const StreamState& stream, int64_t placed) const
{
    if (stream.lastEnd == AV_NOPTS_VALUE)
        return false;
    const int64_t step = placed - stream.lastEnd;
    return step < -kBackUs || step > kAheadUs;
}

} // namespace calvex::media::ffmpeg
