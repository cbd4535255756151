// SPDX-License-Identifier: GPL-2.0-or-later
#include "media/ffmpeg/frame_clock.h"

namespace calvex::media::ffmpeg {

FrameClock::FrameClock(const AVStream* stream)
{
    const AVRational rate = stream->avg_frame_rate;
    if (stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO && rate.num > 0 && rate.den > 0)
        m_frameTicks = av_rescale_q(1, av_inv_q(rate), stream->time_base);
}

void FrameClock::Stamp(AVFrame* frame)
{
    frame->pts = frame->best_effort_timestamp;
    if (frame->pts == AV_NOPTS_VALUE)
        frame->pts = m_next;
    const int64_t duration = frame->pkt_duration > 0 ? frame->pkt_duration : m_frameTicks;
    m_next = frame->pts != AV_NOPTS_VALUE && duration > 0 ? frame->pts + duration : AV_NOPTS_VALUE;
}

} // namespace calvex::media::ffmpeg
