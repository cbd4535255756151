// SPDX-License-Identifier: GPL-2.0-or-later
#include "media/ffmpeg/filter_chain.h"

#include "media/ffmpeg/picture_colour.h"

#include <string>

extern "C" {
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/channel_layout.h>
#include <libavutil/pixdesc.h>
}

namespace calvex::media::ffmpeg {
namespace {

std::string Rational(AVRational value)
{
    return std::to_string(value.num) + "/" + std::to_string(value.den);
}

std::string LayoutName(const AVChannelLayout& layout)
{
    AVChannelLayout known{};
    if (layout.order == AV_CHANNEL_ORDER_UNSPEC)
        av_channel_layout_default(&known, layout.nb_channels);
    else
        av_channel_layout_copy(&known, &layout);
    char name[128] = {};
    av_channel_layout_describe(&known, name, sizeof(name));
    av_channel_layout_uninit(&known);
    return name;
}

std::string MaskName(uint64_t mask)
{
    AVChannelLayout layout{};
    av_channel_layout_from_mask(&layout, mask);
    std::string name = LayoutName(layout);
    av_channel_layout_uninit(&layout);
    return name;
}

// The pixel aspect players use: the container's where it gives one (a
// display size in Matroska), else the stream's own.
std::string VideoSourceArgs(const AVFrame* frame, const AVStream* stream, AVRational timeBase)
{
    AVRational aspect = av_guess_sample_aspect_ratio(nullptr, const_cast<AVStream*>(stream),
                                                     const_cast<AVFrame*>(frame));
    if (aspect.num <= 0 || aspect.den <= 0)
        aspect = {1, 1};
    return "video_size=" + std::to_string(frame->width) + "x" + std::to_string(frame->height) +
           ":pix_fmt=" + std::to_string(frame->format) + ":time_base=" + Rational(timeBase) +
           ":pixel_aspect=" + Rational(aspect);
}

// fps first (fewer frames to convert), then HDR made SDR, the turn upright,
// size and picture format; scale and format pass frames through untouched
// when they already match.
std::string VideoChain(const AVFrame* first, const EncoderPlan& plan, AVPixelFormat format)
{
    const VideoFormat& video = plan.video;
    return "fps=fps=" + Rational(video.frameRate) + "," +
           ToneMapFilters(first, video.width, video.height) + TurnFilters(plan.turn) +
           "scale=" + std::to_string(video.width) + ":" + std::to_string(video.height) +
           ScaleColourOptions(first, video.width, video.height) +
           (plan.squarePixels ? ",setsar=1" : "") +
           ",format=pix_fmts=" + av_get_pix_fmt_name(format);
}

// The full-range format to widen first's range to after the chain, when the
// chain would do nothing else; AV_PIX_FMT_NONE when the chain does it all.
AVPixelFormat RangeToWiden(const AVFrame* first, const EncoderPlan& plan)
{
    const VideoFormat& video = plan.video;
    const bool swaps = plan.turn.SwapsSides();
    const bool sameSize = (swaps ? first->height : first->width) == video.width &&
                          (swaps ? first->width : first->height) == video.height;
    const AVPixelFormat limited = LimitedRangeTwin(video.pixelFormat);
    return sameSize && !IsHdr(first) && limited != AV_PIX_FMT_NONE && first->format == limited
               ? video.pixelFormat
               : AV_PIX_FMT_NONE;
}

std::string AudioSourceArgs(const AVFrame* frame, AVRational timeBase)
{
    return "time_base=" + Rational(timeBase) +
           ":sample_rate=" + std::to_string(frame->sample_rate) +
           ":sample_fmt=" + av_get_sample_fmt_name(static_cast<AVSampleFormat>(frame->format)) +
           ":channel_layout=" + LayoutName(frame->ch_layout);
}

// aresample also pads a late start with silence so the sound starts at 0,
// with the pictures; a chain built again after a format change goes on
// from where the sound is.
std::string AudioChain(const EncoderPlan& plan, bool startsTheStream)
{
    const AudioFormat& audio = plan.audio;
    return "aresample=osr=" + std::to_string(audio.sampleRate) + ":async=1" +
           (startsTheStream ? ":first_pts=0" : "") +
           ",aformat=sample_fmts=" + av_get_sample_fmt_name(audio.sampleFormat) +
           ":sample_rates=" + std::to_string(audio.sampleRate) +
           ":channel_layouts=" + MaskName(audio.channelMask);
}

// An open end of the chain, named as avfilter_graph_parse_ptr wants it;
// null when it cannot be made.
AVFilterInOut* ChainEnd(const char* name, AVFilterContext* filter)
{
    AVFilterInOut* end = avfilter_inout_alloc();
    if (end == nullptr)
        return nullptr;
    end->name = av_strdup(name);
    end->filter_ctx = filter;
    if (end->name == nullptr)
        avfilter_inout_free(&end);
    return end;
}

// Puts the filters of chain between source and sink; FFmpeg's code.
int ParseBetween(AVFilterGraph* graph, const std::string& chain, AVFilterContext* source,
                 AVFilterContext* sink)
{
    AVFilterInOut* outputs = ChainEnd("in", source);
    AVFilterInOut* inputs = ChainEnd("out", sink);
    int parsed = AVERROR(ENOMEM);
    if (outputs != nullptr && inputs != nullptr)
        parsed = avfilter_graph_parse_ptr(graph, chain.c_str(), &inputs, &outputs, nullptr);
    avfilter_inout_free(&inputs);
    avfilter_inout_free(&outputs);
    return parsed;
}

} // namespace

bool FilterChain::Link(const char* sourceName, const std::string& sourceArgs, const char* sinkName,
                       const std::string& chain)
{
    m_graph.reset(avfilter_graph_alloc());
    if (!m_graph)
        return false;
    if (avfilter_graph_create_filter(&m_source, avfilter_get_by_name(sourceName), "in",
                                     sourceArgs.c_str(), nullptr, m_graph.get()) < 0 ||
        avfilter_graph_create_filter(&m_sink, avfilter_get_by_name(sinkName), "out", nullptr,
                                     nullptr, m_graph.get()) < 0)
        return false;
    return ParseBetween(m_graph.get(), chain, m_source, m_sink) >= 0 &&
           avfilter_graph_config(m_graph.get(), nullptr) >= 0;
}

bool FilterChain::Converts(const AVFrame* frame, const EncoderPlan& plan)
{
    return frame->width != plan.video.width || frame->height != plan.video.height ||
           frame->format != plan.video.pixelFormat || !plan.turn.IsNone() || IsHdr(frame);
}

bool FilterChain::Configure(const AVFrame* first, const AVStream* source, const EncoderPlan& plan)
{
    const AVRational timeBase = source->time_base;
    m_kind = plan.kind;
    m_width = first->width;
    m_height = first->height;
    m_format = first->format;
    m_sampleRate = first->sample_rate;
    m_channels = first->ch_layout.nb_channels;
    bool linked = false;
    if (plan.kind == AVMEDIA_TYPE_VIDEO) {
        m_fullRange = RangeToWiden(first, plan);
        const AVPixelFormat format = m_fullRange != AV_PIX_FMT_NONE
                                         ? static_cast<AVPixelFormat>(first->format)
                                         : plan.video.pixelFormat;
        linked = Link("buffer", VideoSourceArgs(first, source, timeBase), "buffersink",
                      VideoChain(first, plan, format));
    } else {
        linked = Link("abuffer", AudioSourceArgs(first, timeBase), "abuffersink",
                      AudioChain(plan, !m_builtBefore));
        if (linked && plan.frameSize > 0)
            av_buffersink_set_frame_size(m_sink, plan.frameSize);
    }
    if (!linked)
        m_graph.reset();
    m_builtBefore = m_builtBefore || linked;
    return linked;
}

bool FilterChain::Accepts(const AVFrame* frame) const
{
    if (m_kind == AVMEDIA_TYPE_VIDEO)
        return frame->width == m_width && frame->height == m_height && frame->format == m_format;
    return frame->sample_rate == m_sampleRate && frame->format == m_format &&
           frame->ch_layout.nb_channels == m_channels;
}

int FilterChain::Push(AVFrame* frame)
{
    return av_buffersrc_add_frame_flags(m_source, frame, 0);
}

int FilterChain::PushEnd(int64_t endPts)
{
    // Without the end time, fps would drop the last frame, which has no successor.
    if (endPts == AV_NOPTS_VALUE)
        return av_buffersrc_add_frame_flags(m_source, nullptr, 0);
    return av_buffersrc_close(m_source, endPts, AV_BUFFERSRC_FLAG_PUSH);
}

int FilterChain::Pull(AVFrame* frame)
{
    const int pulled = PullConverted(frame);
    // A frame passed through untouched keeps its own aspect (none, for some
    // codecs): the encoder gets the one the chain was built with, turned
    // and scaled with the picture.
    if (pulled >= 0 && m_kind == AVMEDIA_TYPE_VIDEO)
        frame->sample_aspect_ratio = av_buffersink_get_sample_aspect_ratio(m_sink);
    return pulled;
}

int FilterChain::PullConverted(AVFrame* frame)
{
    if (m_fullRange == AV_PIX_FMT_NONE)
        return av_buffersink_get_frame(m_sink, frame);
    if (!m_limited)
        return AVERROR(ENOMEM);
    if (const int pulled = av_buffersink_get_frame(m_sink, m_limited.get()); pulled < 0)
        return pulled;
    const int widened = m_expansion.Expand(m_limited.get(), m_fullRange, frame);
    av_frame_unref(m_limited.get());
    return widened;
}

AVRational FilterChain::OutputTimeBase() const
{
    return av_buffersink_get_time_base(m_sink);
}

} // namespace calvex::media::ffmpeg
