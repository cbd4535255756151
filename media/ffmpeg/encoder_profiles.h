// SPDX-License-Identifier: GPL-2.0-or-later
// What a new instance of each encoder starts from, chosen so that its file
// looks good: its constant-quality control and the value it starts at, the
// bit rate it gets when the user sets none, and the option values it starts
// with. Also what the settings sheet needs to know of an encoder beyond its
// option table (which general options it reads, what its "auto" values do).
#pragma once

#include "media/ffmpeg/encoder_plan.h"

#include <cstdint>
#include <string>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace calvex::media::ffmpeg {

enum class QualityKind {
    None,
    Quantiser,     // a fixed quantiser: the rate control held to one value
    GlobalQuality, // the codec context's quality scale (qscale flag, global_quality)
    Private,       // one of the encoder's own options (crf, qp)
};

struct QualityScale {
    QualityKind kind = QualityKind::None;
    const char* key = ""; // the setting's name (for Private, the encoder's option)
    double minimum = 0;
    double maximum = 0;
    double initial = 0;
    bool lowerIsBetter = true;
    bool whole = true;
    const char* meaning = ""; // what the number is, in words
};

// A string option that takes one of a known list of names.
struct NamedValues {
    const char* option;
    std::vector<const char*> values;
    const char* noneLabel; // the entry for an empty value; null when there is none
};

struct EncoderProfile {
    QualityScale quality;
    bool bitRate = false;               // the encoder reads a bit rate
    double bitsPerPixel = 0;            // its bit rate when none is set; 0: the encoder's own
    double capBitsPerPixel = 0;         // the ceiling its quality mode needs; 0: none
    bool zeroBitRateForQuality = false; // its quality mode needs a bit rate of 0
    bool maxRate = false;               // it reads a maximum bit rate
    bool intraOnly = false;             // every picture is a key frame (not all descriptors say so)
    bool chooseRateMode = false;        // a constant bit rate unless the user asks for its quality
    bool twoPass = false;               // it has a first pass, so it can aim at a file size
    bool standalonePlayer = false;      // it can write for standalone DivX/Xvid players
    int audioPerChannel = 0;            // kbit/s per channel when no bit rate is set
    int audioMaximum = 0;               // kbit/s
    std::vector<int> audioRates;        // the bit rates its format allows (kbit/s), ascending
    OptionValues initial;               // option values a new instance starts from
    std::vector<const char*> general;   // the general codec options it reads
    OptionValues autoMeans;             // what the encoder does for options left at "auto"
    std::vector<NamedValues> named;     // string options with a known list of values
    std::vector<const char*> hidden;    // options not offered (replaced or harmful)
};

// The setting of an encoder with chooseRateMode: kConstantRate (the default)
// or kConstantQuality.
inline constexpr const char* kRateModeSetting = "ratemode";
inline constexpr const char* kConstantRate = "constant";
inline constexpr const char* kConstantQuality = "quality";

const EncoderProfile& ProfileOf(const AVCodec* codec);

// The options codec is opened with: the user's, the quality control put in
// FFmpeg's terms, and the profile's initial values the user did not change.
OptionValues OpeningOptions(const AVCodec* codec, const OptionValues& options);

// The bit rate an encoder gets when the user sets none (0: its own default).
int64_t AutomaticVideoBitRate(const AVCodec* codec, const OptionValues& options, int width,
                              int height, AVRational frameRate);
int64_t AutomaticAudioBitRate(const AVCodec* codec, const OptionValues& options, int channels);

} // namespace calvex::media::ffmpeg
