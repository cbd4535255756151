// SPDX-License-Identifier: GPL-2.0-or-later
#include "media/ffmpeg/encoder_plan.h"

#include "media/ffmpeg/av_ptr.h"
#include "media/ffmpeg/codec_threads.h"
#include "media/ffmpeg/encoder_profiles.h"
#include "media/ffmpeg/option_values.h"
#include "media/ffmpeg/two_pass.h"

#include <algorithm>
#include <cstring>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/pixdesc.h>
}

namespace calvex::media::ffmpeg {
namespace {

// Encoders that accept only one picture or sound format, which they do not
// announce in their format lists.
struct FixedNeeds {
    const char* name;
    int width, height;
    AVRational frameRate;
    int sampleRate;
    uint64_t channelMask;
    int64_t bitRate;
};

constexpr FixedNeeds kFixedNeeds[] = {
    {"dvvideo", 720, 576, {25, 1}, 0, 0, 0},
    {"g723_1", 0, 0, {0, 0}, 8000, AV_CH_LAYOUT_MONO, 6300},
    {"g726", 0, 0, {0, 0}, 8000, AV_CH_LAYOUT_MONO, 32000},
    {"g726le", 0, 0, {0, 0}, 8000, AV_CH_LAYOUT_MONO, 32000},
    {"libgsm", 0, 0, {0, 0}, 8000, AV_CH_LAYOUT_MONO, 13000},
    {"libgsm_ms", 0, 0, {0, 0}, 8000, AV_CH_LAYOUT_MONO, 13000},
};

// Encoders that open with any size but refuse, when encoding, sizes that are
// not multiples of a block size.
int RequiredSizeMultiple(const AVCodec* codec)
{
    return std::strcmp(codec->name, "amv") == 0 ? 16 : 1;
}

const FixedNeeds* FindFixedNeeds(const AVCodec* codec)
{
    for (const auto& needs : kFixedNeeds)
        if (std::strcmp(needs.name, codec->name) == 0)
            return &needs;
    return nullptr;
}

void ApplyPlan(AVCodecContext* context, const EncoderPlan& plan)
{
    if (plan.kind == AVMEDIA_TYPE_VIDEO) {
        context->width = plan.video.width;
        context->height = plan.video.height;
        context->pix_fmt = plan.video.pixelFormat;
        context->framerate = plan.video.frameRate;
        context->time_base = av_inv_q(plan.video.frameRate);
    } else {
        context->sample_rate = plan.audio.sampleRate;
        context->sample_fmt = plan.audio.sampleFormat;
        av_channel_layout_uninit(&context->ch_layout);
        av_channel_layout_from_mask(&context->ch_layout, plan.audio.channelMask);
        context->time_base = {1, plan.audio.sampleRate};
    }
    if (plan.bitRate > 0)
        context->bit_rate = plan.bitRate;
}

// Opens codec once with plan on a throw-away context; fills the audio frame size.
bool TrialOpen(const AVCodec* codec, EncoderPlan& plan, const OptionValues& options)
{
    CodecContextPtr context(avcodec_alloc_context3(codec));
    if (!context)
        return false;
    context->thread_count = 1;
    if (OpenEncoder(context.get(), codec, plan, options) < 0)
        return false;
    if (plan.kind == AVMEDIA_TYPE_AUDIO &&
        !(codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE))
        plan.frameSize = context->frame_size;
    return true;
}

std::optional<EncoderPlan> FirstThatOpens(const AVCodec* codec, std::vector<EncoderPlan> candidates,
                                          const OptionValues& options)
{
    for (auto& candidate : candidates) {
        if (MustNotTrialOpen(codec) || TrialOpen(codec, candidate, options))
            return candidate;
    }
    return std::nullopt;
}

AVPixelFormat ChoosePixelFormat(const AVCodec* codec, AVPixelFormat source)
{
    if (codec->pix_fmts == nullptr)
        return source == AV_PIX_FMT_NONE ? AV_PIX_FMT_YUV420P : source;
    for (const AVPixelFormat* format = codec->pix_fmts; *format != AV_PIX_FMT_NONE; ++format)
        if (*format == source)
            return source;
    if (source == AV_PIX_FMT_NONE)
        return codec->pix_fmts[0];
    return avcodec_find_best_pix_fmt_of_list(codec->pix_fmts, source, 0, nullptr);
}

AVRational ChooseFrameRate(const AVCodec* codec, AVRational source)
{
    if (source.num <= 0 || source.den <= 0)
        source = {25, 1};
    // Time bases with huge denominators are refused by several encoders.
    if (source.num > 65535 || source.den > 65535)
        source = av_d2q(av_q2d(source), 1001);
    if (codec->supported_framerates != nullptr)
        source =
            codec->supported_framerates[av_find_nearest_q_idx(source, codec->supported_framerates)];
    return source;
}

// True when rate stands in for source better than best: any rate above the
// source beats one below it; above it the lower wins, below it the higher.
bool IsCloserRate(int rate, int best, int source)
{
    if (best < source)
        return rate > best;
    return rate > source && rate < best;
}

int ChooseSampleRate(const AVCodec* codec, int source)
{
    if (codec->supported_samplerates == nullptr)
        return source;
    int best = 0;
    for (const int* rate = codec->supported_samplerates; *rate != 0; ++rate) {
        if (*rate == source)
            return source;
        // The nearest rate above the source's; else the highest there is.
        if (IsCloserRate(*rate, best, source))
            best = *rate;
    }
    return best;
}

AVSampleFormat ChooseSampleFormat(const AVCodec* codec, AVSampleFormat source)
{
    if (codec->sample_fmts == nullptr)
        return source;
    for (const AVSampleFormat* format = codec->sample_fmts; *format != AV_SAMPLE_FMT_NONE; ++format)
        if (*format == source)
            return source;
    return codec->sample_fmts[0];
}

uint64_t ChooseChannelMask(const AVCodec* codec, uint64_t source)
{
    if (codec->ch_layouts == nullptr)
        return source;
    uint64_t first = 0;
    bool hasStereo = false;
    for (const AVChannelLayout* layout = codec->ch_layouts; layout->nb_channels != 0; ++layout) {
        if (layout->order != AV_CHANNEL_ORDER_NATIVE)
            continue;
        if (layout->u.mask == source)
            return source;
        hasStereo = hasStereo || layout->u.mask == AV_CH_LAYOUT_STEREO;
        if (first == 0)
            first = layout->u.mask;
    }
    return hasStereo ? AV_CH_LAYOUT_STEREO : first;
}

} // namespace

std::string FindOption(const OptionValues& options, const std::string& name)
{
    const auto found = std::find_if(options.begin(), options.end(),
                                    [&](const auto& option) { return option.first == name; });
    return found == options.end() ? std::string() : found->second;
}

bool HasOption(const OptionValues& options, const std::string& name)
{
    return std::any_of(options.begin(), options.end(),
                       [&](const auto& option) { return option.first == name; });
}

double OptionNumber(const OptionValues& options, const std::string& name)
{
    double number = 0;
    return ParseReal(FindOption(options, name), number) ? number : 0;
}

bool HasUserThreads(const OptionValues& options)
{
    const std::string threads = FindOption(options, "threads");
    return !threads.empty() && threads != "0";
}

bool MustNotTrialOpen(const AVCodec* codec)
{
    return std::strcmp(codec->name, "libsvtav1") == 0;
}

int OpenEncoder(AVCodecContext* context, const AVCodec* codec, const EncoderPlan& plan,
                const OptionValues& options)
{
    ApplyPlan(context, plan);
    // The second pass reads the first one's statistics (FFmpeg only reads them).
    if (plan.pass == 2 && plan.passLog && !plan.passLog->Stats().empty())
        context->stats_in = const_cast<char*>(plan.passLog->Stats().c_str());
    Dictionary dictionary;
    for (const auto& [name, value] : OpeningOptions(codec, options))
        if (!dictionary.Set(name.c_str(), value.c_str()))
            return AVERROR(ENOMEM);
    std::unique_lock<std::shared_mutex> alone;
    if (OpensGlobalState(codec))
        alone = std::unique_lock(GlobalStateLock());
    return avcodec_open2(context, codec, dictionary.Address());
}

std::optional<EncoderPlan> PlanVideo(const AVCodec* codec, const VideoFormat& source,
                                     const OptionValues& options)
{
    EncoderPlan base;
    base.kind = AVMEDIA_TYPE_VIDEO;
    base.video.pixelFormat = ChoosePixelFormat(codec, source.pixelFormat);
    base.video.frameRate = ChooseFrameRate(codec, source.frameRate);
    std::vector<EncoderPlan> candidates;
    auto add = [&](int width, int height, AVRational rate) {
        if (width < 16 || height < 16)
            return;
        EncoderPlan plan = base;
        plan.video.width = width;
        plan.video.height = height;
        plan.video.frameRate = rate;
        plan.bitRate = AutomaticVideoBitRate(codec, options, width, height, rate);
        candidates.push_back(plan);
    };
    if (const FixedNeeds* needs = FindFixedNeeds(codec)) {
        add(needs->width, needs->height, needs->frameRate);
        return FirstThatOpens(codec, candidates, options);
    }
    // The source's size first, then sizes rounded down to the multiples that
    // encoders commonly need, then the CIF and QCIF sizes every encoder here takes.
    for (int multiple : {1, 2, 4, 8, 16})
        if (multiple >= RequiredSizeMultiple(codec))
            add(source.width / multiple * multiple, source.height / multiple * multiple,
                base.video.frameRate);
    add(352, 288, base.video.frameRate);
    add(352, 288, ChooseFrameRate(codec, {25, 1}));
    add(176, 144, ChooseFrameRate(codec, {25, 1}));
    // Some encoders list formats they refuse by default (mjpeg's limited-range
    // YUV): try again with the encoder's first format.
    if (codec->pix_fmts != nullptr && codec->pix_fmts[0] != base.video.pixelFormat) {
        const size_t count = candidates.size();
        for (size_t i = 0; i < count; ++i) {
            EncoderPlan plan = candidates[i];
            plan.video.pixelFormat = codec->pix_fmts[0];
            candidates.push_back(plan);
        }
    }
    candidates.erase(std::unique(candidates.begin(), candidates.end(),
                                 [](const EncoderPlan& a, const EncoderPlan& b) {
                                     return a.video.pixelFormat == b.video.pixelFormat &&
                                            a.video.width == b.video.width &&
                                            a.video.height == b.video.height &&
                                            av_cmp_q(a.video.frameRate, b.video.frameRate) == 0;
                                 }),
                     candidates.end());
    return FirstThatOpens(codec, candidates, options);
}

std::optional<EncoderPlan> PlanAudio(const AVCodec* codec, const AudioFormat& source,
                                     const OptionValues& options)
{
    EncoderPlan base;
    base.kind = AVMEDIA_TYPE_AUDIO;
    base.audio.sampleFormat = ChooseSampleFormat(codec, source.sampleFormat);
    std::vector<EncoderPlan> candidates;
    auto add = [&](int rate, uint64_t mask, int64_t bitRate) {
        EncoderPlan plan = base;
        plan.audio.sampleRate = ChooseSampleRate(codec, rate);
        plan.audio.channelMask = ChooseChannelMask(codec, mask);
        const int channels = av_popcount64(plan.audio.channelMask);
        plan.bitRate = bitRate > 0 ? (HasOption(options, "b") ? 0 : bitRate)
                                   : AutomaticAudioBitRate(codec, options, channels);
        candidates.push_back(plan);
    };
    if (const FixedNeeds* needs = FindFixedNeeds(codec)) {
        add(needs->sampleRate, needs->channelMask, needs->bitRate);
        return FirstThatOpens(codec, candidates, options);
    }
    add(source.sampleRate, source.channelMask, 0);
    add(source.sampleRate, AV_CH_LAYOUT_STEREO, 0);
    add(source.sampleRate, AV_CH_LAYOUT_MONO, 0);
    for (int rate : {48000, 44100, 22050, 16000, 8000})
        add(rate, AV_CH_LAYOUT_MONO, 0);
    return FirstThatOpens(codec, candidates, options);
}

} // namespace calvex::media::ffmpeg
