// SPDX-License-Identifier: GPL-2.0-or-later
#include "media/ffmpeg/encoder_catalogue.h"

#include "media/ffmpeg/encoder_plan.h"

#include <mutex>
#include <string_view>

extern "C" {
#include <libavformat/avformat.h>
}

namespace calvex::media::ffmpeg {
namespace {

bool IsHardwareWrapper(const AVCodec* codec)
{
    if (codec->capabilities & AV_CODEC_CAP_HARDWARE)
        return true;
    const std::string_view name = codec->name;
    for (std::string_view suffix : {"_vaapi", "_qsv", "_nvenc", "_v4l2m2m", "_omx", "_amf", "_mf",
                                    "_videotoolbox", "_vulkan"})
        if (name.size() > suffix.size() && name.substr(name.size() - suffix.size()) == suffix)
            return true;
    return false;
}

// Encoders that fail on this machine's FFmpeg 5.1 whatever the format: rpza
// corrupts memory (at 160x120 and 352x288), and DFPWM written into AVI cannot
// be decoded again. Never offered.
bool IsKnownBroken(const AVCodec* codec)
{
    const std::string_view name = codec->name;
    return name == "rpza" || name == "dfpwm";
}

// Opens the encoder with a small context (CIF at 25 fps, or mono sound).
bool OpensHere(const AVCodec* codec)
{
    if (codec->type == AVMEDIA_TYPE_VIDEO) {
        VideoFormat small{352, 288, AV_PIX_FMT_YUV420P, {25, 1}};
        return PlanVideo(codec, small, {}).has_value();
    }
    AudioFormat mono{44100, AV_SAMPLE_FMT_S16, AV_CH_LAYOUT_MONO};
    return PlanAudio(codec, mono, {}).has_value();
}

struct Catalogue {
    std::vector<const AVCodec*> video;
    std::vector<const AVCodec*> audio;
};

Catalogue BuildCatalogue()
{
    Catalogue catalogue;
    void* iterator = nullptr;
    while (const AVCodec* codec = av_codec_iterate(&iterator)) {
        if (!av_codec_is_encoder(codec) || (codec->capabilities & AV_CODEC_CAP_EXPERIMENTAL))
            continue;
        if (codec->type != AVMEDIA_TYPE_VIDEO && codec->type != AVMEDIA_TYPE_AUDIO)
            continue;
        if (IsHardwareWrapper(codec) || IsKnownBroken(codec) || !AviTakesCodec(codec->id) ||
            !OpensHere(codec))
            continue;
        (codec->type == AVMEDIA_TYPE_VIDEO ? catalogue.video : catalogue.audio).push_back(codec);
    }
    return catalogue;
}

} // namespace

bool AviTakesCodec(AVCodecID codec)
{
    static const AVOutputFormat* avi = av_guess_format("avi", nullptr, nullptr);
    return avi != nullptr && avformat_query_codec(avi, codec, FF_COMPLIANCE_NORMAL) == 1;
}

const std::vector<const AVCodec*>& AviEncoders(AVMediaType kind)
{
    static const Catalogue catalogue = BuildCatalogue();
    return kind == AVMEDIA_TYPE_VIDEO ? catalogue.video : catalogue.audio;
}

} // namespace calvex::media::ffmpeg
