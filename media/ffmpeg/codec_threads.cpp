// SPDX-License-Identifier: GPL-2.0-or-later
#include "media/ffmpeg/codec_threads.h"

#include <algorithm>

extern "C" {
#include <libavutil/cpu.h>
}

namespace calvex::media::ffmpeg {
namespace {

int Cores()
{
    return std::max(1, av_cpu_count());
}

} // namespace

// Decoding and encoding each take about half of the work of a picture, and
// each already has a thread of its own: the decoder gets half the cores (on
// two cores none beside its stage's). More threads than cores only make them
// take turns, and each decoding thread holds pictures of its own.
int DecoderThreadCount(AVMediaType kind)
{
    return kind == AVMEDIA_TYPE_VIDEO ? std::max(1, Cores() / 2) : 1;
}

int EncoderThreadCount(const AVCodec* codec, const EncoderPlan& plan)
{
    if (plan.kind != AVMEDIA_TYPE_VIDEO)
        return 1;
    // Pictures coded on threads of their own come out the same on any number
    // of them: the encoder gets the other half of the cores.
    if ((codec->capabilities & AV_CODEC_CAP_FRAME_THREADS) &&
        !(codec->capabilities & AV_CODEC_CAP_OTHER_THREADS))
        return std::max(1, Cores() - Cores() / 2);
    // Slices shape the picture (FFmpeg makes one per thread), and encoders
    // with threads of their own (x264) size them best themselves: their choice.
    return 0;
}

} // namespace calvex::media::ffmpeg
