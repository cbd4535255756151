// SPDX-License-Identifier: GPL-2.0-or-later
#include "media/ffmpeg/codec_threads.h"

#include <algorithm>
#include <cstring>

extern "C" {
#include <libavutil/cpu.h>
}

namespace calvex::media::ffmpeg {
namespace {

int Cores()
{
    return std::max(1, av_cpu_count());
}

// Stretches coded side by side: at most this many, holding at most this
// much memory beyond one worker's.
constexpr int64_t kMostStretchWorkers = 8;
constexpr int64_t kStretchMemory = int64_t{1} << 30;

constexpr int kFewestX264Threads = 4;

// The encoder's half of the cores (decoding has the other).
int EncoderShare()
{
    return std::max(1, Cores() - Cores() / 2);
}

// FFmpeg's MPEG video encoders cut each picture into one slice per thread.
bool SlicesFollowThreads(const AVCodec* codec)
{
    switch (codec->id) {
    case AV_CODEC_ID_MPEG1VIDEO:
    case AV_CODEC_ID_MPEG2VIDEO:
    case AV_CODEC_ID_MPEG4:
    case AV_CODEC_ID_H263P:
        return (codec->capabilities & AV_CODEC_CAP_SLICE_THREADS) != 0;
    default:
        return false;
    }
}

// The slices FFmpeg's own choice of threads makes for a picture this high:
// one per core and one more, at most 16, at most one per row of macroblocks.
int AutomaticSlices(int height)
{
    const int cores = std::min(Cores(), (height + 15) / 16);
    return cores > 1 ? std::min(cores + 1, 16) : 1;
}

// FFV1 codes the slices of a picture side by side and waits for the slowest
// before the next picture; the four FFmpeg gives a large picture leave cores
// idle at each picture's end. Twelve (three rows of four) keep them busy.
// It is lossless: the pictures stay the same, the file grows by about 1 %.
constexpr int kBalancedFfv1Slices = 12;

bool BalancesSlices(const AVCodec* codec, const EncoderPlan& plan)
{
    // FFmpeg gives pictures larger than PAL's slices of their own; smaller
    // ones keep its single slice.
    const int64_t area = int64_t{plan.video.width} * plan.video.height;
    return codec->id == AV_CODEC_ID_FFV1 && Cores() > 1 && area > 720 * 576;
}

} // namespace

// Decoding and encoding each take about half of the work of a picture, and
// each already has a thread of its own: the decoder gets half the cores (on
// two cores none beside its stage's). More threads than cores only make them
// take turns, and each decoding thread holds pictures of its own.
void SizeDecoderThreads(AVCodecContext* decoder, int cores)
{
    decoder->thread_count = decoder->codec_type == AVMEDIA_TYPE_VIDEO ? std::max(1, cores / 2) : 1;
    decoder->thread_type = FrameThreadsChangePictures(decoder->codec_id)
                               ? FF_THREAD_SLICE
                               : FF_THREAD_FRAME | FF_THREAD_SLICE;
}

void SizeDecoderThreads(AVCodecContext* decoder)
{
    SizeDecoderThreads(decoder, Cores());
}

bool FrameThreadsChangePictures(AVCodecID codec)
{
    // FFmpeg 5.1's VP3 decoder, which also decodes Theora: with 2 frame
    // threads a real 4:4:4 screencast gave other pictures in 2 of 4 decodes.
    return codec == AV_CODEC_ID_VP3 || codec == AV_CODEC_ID_THEORA;
}

bool SizeEncoderThreads(AVCodecContext* context, const AVCodec* codec, const EncoderPlan& plan,
                        const OptionValues& options, SliceCount slices)
{
    context->thread_count = plan.kind == AVMEDIA_TYPE_VIDEO ? 0 : 1;
    if (slices == SliceCount::Balanced && BalancesSlices(codec, plan) &&
        !HasOption(options, "slices") && !HasUserThreads(options)) {
        context->slices = kBalancedFfv1Slices;
        return true;
    }
    if (plan.kind != AVMEDIA_TYPE_VIDEO || HasUserThreads(options))
        return false;
    if (codec->capabilities & AV_CODEC_CAP_OTHER_THREADS) {
        // Encoders with threads of their own size them best themselves, but
        // x264's 1.5 frame threads a core leave one or two cores waiting on
        // its threads' dependencies: four keep them busy (1080p on 2 cores:
        // 9 % faster, 5 % more memory).
        if (std::strncmp(codec->name, "libx264", 7) == 0 && Cores() * 3 / 2 < kFewestX264Threads)
            context->thread_count = kFewestX264Threads;
        return false;
    }
    // Pictures coded on threads of their own come out the same on any number
    // of them; slices shape the picture, so they stay as many as FFmpeg's own
    // choice makes, now coded by the encoder's share of the threads.
    if (codec->capabilities & AV_CODEC_CAP_FRAME_THREADS)
        context->thread_count = EncoderShare();
    else if (SlicesFollowThreads(codec)) {
        context->slices = AutomaticSlices(plan.video.height);
        context->thread_count = std::min(EncoderShare(), context->slices);
    }
    return false;
}

bool OpensGlobalState(const AVCodec* codec)
{
    return std::strcmp(codec->name, "libxvid") == 0;
}

std::shared_mutex& GlobalStateLock()
{
    static std::shared_mutex lock;
    return lock;
}

int StretchWorkers(const AVCodec* codec, const EncoderPlan& plan, const OptionValues& options)
{
    constexpr int kOwnThreads =
        AV_CODEC_CAP_FRAME_THREADS | AV_CODEC_CAP_SLICE_THREADS | AV_CODEC_CAP_OTHER_THREADS;
    if (plan.kind != AVMEDIA_TYPE_VIDEO || plan.pass != 0 || HasUserThreads(options) ||
        (codec->capabilities & kOwnThreads) != 0)
        return 1;
    // Such an encoder holding B-frames back gives them up only at its end,
    // and FFmpeg's Xvid never does: each stretch would lose its last picture.
    if (OptionNumber(options, "bf") > 0)
        return 1;
    // Each worker holds some thirty pictures (the encoder's own, the
    // decoder's references, those on their way): the workers beyond the
    // first stay within kStretchMemory together.
    const int64_t pictureBytes = int64_t{plan.video.width} * plan.video.height * 3 / 2;
    const int64_t byMemory = 1 + kStretchMemory / std::max<int64_t>(1, 30 * pictureBytes);
    return static_cast<int>(std::min<int64_t>({Cores(), kMostStretchWorkers, byMemory}));
}

} // namespace calvex::media::ffmpeg
