// An encoder's options as the program describes them to the user: its
// private AVOptions plus the common ones a user sets, and its named presets.
#pragma once

#include "media/encoder_settings.h"

#include <string>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace calvex::media::ffmpeg {

// Every option of codec, with its default as current value.
std::vector<EncoderSetting> DescribeEncoderOptions(const AVCodec* codec);

// True when codec takes value for its option name (tried on a scratch context).
bool AcceptsOptionValue(const AVCodec* codec, const std::string& name, const std::string& value);

// The encoder's named presets, in their order; empty when it has none.
std::vector<std::string> PresetNames(const AVCodec* codec);

// The preset the encoder uses when none is chosen.
std::string DefaultPreset(const AVCodec* codec);

} // namespace calvex::media::ffmpeg
