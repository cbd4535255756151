// SPDX-License-Identifier: GPL-2.0-or-later
// What an encoder is given: the picture or sound format the filter chain
// must produce for it, found by trying to open the encoder with the source's
// format first and with safer formats after, so every listed encoder works.
#pragma once

#include "media/ffmpeg/picture_turn.h"

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace calvex::media::ffmpeg {

class TwoPassLog;

// The user's option values of one compressor, in the order they were set.
using OptionValues = std::vector<std::pair<std::string, std::string>>;

// The value of name among options, or empty.
std::string FindOption(const OptionValues& options, const std::string& name);
bool HasOption(const OptionValues& options, const std::string& name);
// The value of name among options as a number; 0 when it is not set or no number.
double OptionNumber(const OptionValues& options, const std::string& name);
// A thread count of the user's: one other than 0, which leaves it to the program.
bool HasUserThreads(const OptionValues& options);

struct VideoFormat {
    int width = 0;
    int height = 0;
    AVPixelFormat pixelFormat = AV_PIX_FMT_YUV420P;
    AVRational frameRate{25, 1};
};

struct AudioFormat {
    int sampleRate = 44100;
    AVSampleFormat sampleFormat = AV_SAMPLE_FMT_S16;
    uint64_t channelMask = AV_CH_LAYOUT_MONO;
};

struct EncoderPlan {
    AVMediaType kind = AVMEDIA_TYPE_UNKNOWN;
    VideoFormat video;
    PictureTurn turn;          // how the source's pictures are turned on the way
    bool squarePixels = false; // scaled to a display shape: pixels made square
    AudioFormat audio;
    int frameSize = 0;   // samples per audio frame the encoder needs; 0 = any
    int64_t bitRate = 0; // used when the user sets no bit rate; 0 = the encoder's own
    int pass = 0;        // 1 or 2 of a two-pass job; 0 for one pass
    std::shared_ptr<TwoPassLog> passLog; // the first pass's statistics
};

// True for an encoder that must never be opened without a frame to encode
// (SVT-AV1 hangs when it is closed before its first frame).
bool MustNotTrialOpen(const AVCodec* codec);

// Finds the format to give codec for a source of the given format; empty when
// no format opens the encoder with these options.
std::optional<EncoderPlan> PlanVideo(const AVCodec* codec, const VideoFormat& source,
                                     const OptionValues& options);
std::optional<EncoderPlan> PlanAudio(const AVCodec* codec, const AudioFormat& source,
                                     const OptionValues& options);

// Sets up context for plan and opens it with options; returns the FFmpeg code.
int OpenEncoder(AVCodecContext* context, const AVCodec* codec, const EncoderPlan& plan,
                const OptionValues& options);

} // namespace calvex::media::ffmpeg
