// SPDX-License-Identifier: GPL-2.0-or-later
// How many threads the codecs of a running graph get. The graph's stages
// (reading and decoding, filtering, encoding) already run side by side, each
// on a thread of its own; the codecs' own threads share the cores with them.
#pragma once

#include "media/ffmpeg/encoder_plan.h"

#include <shared_mutex>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace calvex::media::ffmpeg {

// Sets the threads of a decoder context (its codec and kind set) before it
// opens, for a machine of cores cores: half of them for pictures, one for
// sound; frame threads only where they give the same pictures as one thread.
void SizeDecoderThreads(AVCodecContext* decoder, int cores);
// The same for this machine.
void SizeDecoderThreads(AVCodecContext* decoder);
// True for a decoder whose frame threads give other pictures than one
// thread does (found by hashing repeated decodes with 1, 2 and 4 threads).
bool FrameThreadsChangePictures(AVCodecID codec);

// Balanced: where more slices than FFmpeg's own choice spread an encoder's
// work better over the cores, ask for them; FFmpegs: keep its choice (for a
// picture the balanced count turns out not to fit).
enum class SliceCount { Balanced, FFmpegs };

// Sets the threads (and, where they decide the slices, the slice count) of
// an encoder context before it opens; a "threads" option of the user's
// leaves both to the encoder. True when it asked for slices of its own.
bool SizeEncoderThreads(AVCodecContext* context, const AVCodec* codec, const EncoderPlan& plan,
                        const OptionValues& options, SliceCount slices);

// Opening FFmpeg's Xvid encoder sets up the xvid library's tables and
// routines for the whole process anew (xvid_global), which an Xvid encoder
// coding at the time may read half-made: its pictures then drift from what
// players decode. Such an encoder opens while holding this lock alone, and
// codes each picture while sharing it.
bool OpensGlobalState(const AVCodec* codec);
std::shared_mutex& GlobalStateLock();

// How many stretches of pictures are coded side by side for codec: as many
// as there are cores for a picture encoder with no threads of its own in a
// one-pass job (the first pass's statistics follow one encoder); 1 for the
// rest, which code the stream as one.
int StretchWorkers(const AVCodec* codec, const EncoderPlan& plan, const OptionValues& options);

} // namespace calvex::media::ffmpeg
