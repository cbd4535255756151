// SPDX-License-Identifier: GPL-2.0-or-later
// An encoder's settings as the program describes them to the user: first the
// quality and rate controls that apply to it, then its private AVOptions,
// then the general codec options it reads; each with a plain label, its
// help, its default (what a new instance starts from), range and unit.
#pragma once

#include "media/encoder_settings.h"

#include <optional>
#include <string>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace calvex::media::ffmpeg {

// Every setting of codec, with its default as current value.
std::vector<EncoderSetting> DescribeEncoderOptions(const AVCodec* codec);

// The value as the encoder keeps it (numbers in digits, switches as 0/1,
// named values and flags by name), or nothing when codec refuses it.
std::optional<std::string> AcceptedValue(const AVCodec* codec, const EncoderSetting& setting,
                                         const std::string& value);

// The encoder's named presets, in their order; empty when it has none.
std::vector<std::string> PresetNames(const AVCodec* codec);

// The preset the encoder uses when none is chosen.
std::string DefaultPreset(const AVCodec* codec);

} // namespace calvex::media::ffmpeg
