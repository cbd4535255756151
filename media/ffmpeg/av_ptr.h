// SPDX-License-Identifier: GPL-2.0-or-later
// Owning handles for FFmpeg objects: each frees its object with the matching
// av*_free function, so no path of the engine can leak or double-free one.
#pragma once

#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavfilter/avfilter.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/frame.h>
}

namespace calvex::media::ffmpeg {

struct CodecContextDeleter {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct InputContextDeleter {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
struct OutputContextDeleter {
    void operator()(AVFormatContext* context) const
    {
        if (context->pb != nullptr && !(context->oformat->flags & AVFMT_NOFILE))
            avio_closep(&context->pb);
        avformat_free_context(context);
    }
};
struct FrameDeleter {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketDeleter {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct FilterGraphDeleter {
    void operator()(AVFilterGraph* graph) const { avfilter_graph_free(&graph); }
};

using CodecContextPtr = std::unique_ptr<AVCodecContext, CodecContextDeleter>;
using InputContextPtr = std::unique_ptr<AVFormatContext, InputContextDeleter>;
using OutputContextPtr = std::unique_ptr<AVFormatContext, OutputContextDeleter>;
using FramePtr = std::unique_ptr<AVFrame, FrameDeleter>;
using PacketPtr = std::unique_ptr<AVPacket, PacketDeleter>;
using FilterGraphPtr = std::unique_ptr<AVFilterGraph, FilterGraphDeleter>;

inline FramePtr MakeFrame()
{
    return FramePtr(av_frame_alloc());
}
inline PacketPtr MakePacket()
{
    return PacketPtr(av_packet_alloc());
}

// An AVDictionary built up by the caller and freed on scope exit.
class Dictionary {
public:
    Dictionary() = default;
    Dictionary(const Dictionary&) = delete;
    Dictionary& operator=(const Dictionary&) = delete;
    ~Dictionary() { av_dict_free(&m_dictionary); }
    // False when the entry could not be stored.
    bool Set(const char* key, const char* value)
    {
        return av_dict_set(&m_dictionary, key, value, 0) >= 0;
    }
    AVDictionary** Address() { return &m_dictionary; }

private:
    AVDictionary* m_dictionary = nullptr;
};

} // namespace calvex::media::ffmpeg
