// SPDX-License-Identifier: GPL-2.0-or-later
// The libavfilter chain between a decoder and an encoder: gives the encoder
// the picture format, size and constant frame rate, or the sample format,
// rate, channel layout and frame size, that its plan asks for.
#pragma once

#include "media/ffmpeg/av_ptr.h"
#include "media/ffmpeg/encoder_plan.h"
#include "media/ffmpeg/range_expansion.h"

namespace calvex::media::ffmpeg {

class FilterChain {
public:
    // True when the chain changes pictures like frame (their size or format)
    // rather than only passing them on at the plan's frame rate.
    static bool Converts(const AVFrame* frame, const EncoderPlan& plan);
    // Builds the chain for frames like first, of source (stamped in its time base).
    bool Configure(const AVFrame* first, const AVStream* source, const EncoderPlan& plan);
    bool IsConfigured() const { return m_graph != nullptr; }
    // True when frame has the format the chain was built for.
    bool Accepts(const AVFrame* frame) const;

    // Hands frame's data to the chain (frame is left blank); FFmpeg's code.
    int Push(AVFrame* frame);
    // Ends the input at endPts (the time just after the last frame; may be AV_NOPTS_VALUE).
    int PushEnd(int64_t endPts);
    // A converted frame, AVERROR(EAGAIN) when more input is needed, or AVERROR_EOF.
    int Pull(AVFrame* frame);
    AVRational OutputTimeBase() const;

private:
    int PullConverted(AVFrame* frame);
    bool Link(const char* sourceName, const std::string& sourceArgs, const char* sinkName,
              const std::string& chain);

    // Limited-range YUV for an encoder that takes full range, at the same
    // size: the chain passes it through and the range is widened after it.
    AVPixelFormat m_fullRange = AV_PIX_FMT_NONE;
    RangeExpansion m_expansion;
    FramePtr m_limited = MakeFrame();

    FilterGraphPtr m_graph;
    AVFilterContext* m_source = nullptr;
    AVFilterContext* m_sink = nullptr;
    AVMediaType m_kind = AVMEDIA_TYPE_UNKNOWN;
    int m_width = 0, m_height = 0, m_format = -1, m_sampleRate = 0, m_channels = 0;
    bool m_builtBefore = false;
};

} // namespace calvex::media::ffmpeg
