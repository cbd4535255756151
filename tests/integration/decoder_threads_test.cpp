// SPDX-License-Identifier: GPL-2.0-or-later
// Threads never change the pictures: each decoder, set up as the graph sets
// it up for a machine of 2, 4 or 8 cores, decodes the same pictures as one
// thread does, decode after decode.
#include "test_support.h"

#include "media/ffmpeg/av_ptr.h"
#include "media/ffmpeg/codec_threads.h"

#include <gtest/gtest.h>

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/hash.h>
#include <libavutil/imgutils.h>
}

namespace calvex::media::test {
namespace {

using ffmpeg::CodecContextPtr;
using ffmpeg::FramePtr;
using ffmpeg::PacketPtr;

// A hash of each decoded picture of file's first video stream, decoded with
// the threads the graph gives it on a machine of cores cores (0: one thread).
std::vector<std::string> PictureHashes(const fs::path& file, int cores)
{
    AVFormatContext* raw = nullptr;
    if (avformat_open_input(&raw, file.c_str(), nullptr, nullptr) < 0)
        return {"cannot open"};
    std::unique_ptr<AVFormatContext, void (*)(AVFormatContext*)> format(
        raw, [](AVFormatContext* f) { avformat_close_input(&f); });
    const AVCodec* codec = nullptr;
    if (avformat_find_stream_info(raw, nullptr) < 0)
        return {"cannot read"};
    const int index = av_find_best_stream(raw, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
    if (index < 0 || codec == nullptr)
        return {"no picture stream"};
    CodecContextPtr decoder(avcodec_alloc_context3(codec));
    avcodec_parameters_to_context(decoder.get(), raw->streams[index]->codecpar);
    if (cores > 0)
        ffmpeg::SizeDecoderThreads(decoder.get(), cores);
    else
        decoder->thread_count = 1;
    if (avcodec_open2(decoder.get(), codec, nullptr) < 0)
        return {"cannot decode"};
    std::vector<std::string> hashes;
    PacketPtr packet = ffmpeg::MakePacket();
    FramePtr frame = ffmpeg::MakeFrame();
    const auto receive = [&] {
        while (avcodec_receive_frame(decoder.get(), frame.get()) >= 0) {
            const auto format = static_cast<AVPixelFormat>(frame->format);
            std::vector<uint8_t> bytes(
                av_image_get_buffer_size(format, frame->width, frame->height, 1));
            av_image_copy_to_buffer(bytes.data(), static_cast<int>(bytes.size()), frame->data,
                                    frame->linesize, format, frame->width, frame->height, 1);
            hashes.push_back(std::to_string(std::hash<std::string_view>{}(
                std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()))));
            av_frame_unref(frame.get());
        }
    };
    while (av_read_frame(raw, packet.get()) >= 0) {
        if (packet->stream_index == index)
            avcodec_send_packet(decoder.get(), packet.get());
        av_packet_unref(packet.get());
        receive();
    }
    avcodec_send_packet(decoder.get(), nullptr);
    receive();
    return hashes;
}

void ExpectSamePicturesWithAnyThreads(const fs::path& clip)
{
    SCOPED_TRACE(clip.filename().string());
    const std::vector<std::string> single = PictureHashes(clip, 0);
    ASSERT_GT(single.size(), 1u) << single.front();
    for (const int cores : {2, 4, 8, 8}) {
        const std::vector<std::string> threaded = PictureHashes(clip, cores);
        ASSERT_EQ(threaded.size(), single.size()) << cores << " cores";
        long differing = 0;
        for (size_t i = 0; i < single.size(); ++i)
            differing += threaded[i] != single[i];
        EXPECT_EQ(differing, 0) << "pictures that differ with " << cores << " cores";
    }
}

TEST(DecoderThreads, GiveTheSamePicturesAsOneThread)
{
    // Theora as the screencast that showed it: 4:4:4 at an odd size.
    ExpectSamePicturesWithAnyThreads(
        MakeClip("screencast.ogv", "-f lavfi -i testsrc2=size=274x269:rate=25:duration=4 "
                                   "-vf noise=alls=20:allf=t -pix_fmt yuv444p -c:v libtheora "
                                   "-q:v 7"));
    const std::string picture = "-f lavfi -i testsrc2=size=320x240:rate=25:duration=2 ";
    for (const auto& [name, codec] : std::vector<std::pair<std::string, std::string>>{
             {"threads.mp4", "-c:v libx264 -preset ultrafast -pix_fmt yuv420p"},
             {"threads.mkv", "-c:v mpeg4 -bf 2"},
             {"threads.webm", "-c:v libvpx-vp9 -deadline realtime -cpu-used 8"},
             {"threads-hevc.mkv", "-c:v libx265 -x265-params log-level=error"},
             {"threads.mpg", "-c:v mpeg2video -f mpeg"}})
        ExpectSamePicturesWithAnyThreads(MakeClip(name, picture + codec));
}

} // namespace
} // namespace calvex::media::test
