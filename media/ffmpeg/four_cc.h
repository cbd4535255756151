// SPDX-License-Identifier: GPL-2.0-or-later
// The FourCC an AVI names its picture codec by. Players and Windows codecs
// look for MPEG-4 part 2 under the names DivX and Xvid made known (XVID,
// DIVX, DX50); FFmpeg's own FMP4 is found by FFmpeg-based players only.
#pragma once

#include "media/encoder_settings.h"
#include "media/ffmpeg/encoder_plan.h"

#include <optional>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace calvex::media::ffmpeg {

// The setting's name, as the sheet and calvex-convert's --video-option take it.
inline constexpr const char* kFourCcSetting = "fourcc";

// The FourCC row of codec's sheet, for the encoders that offer one.
std::optional<EncoderSetting> FourCcSetting(const AVCodec* codec);
// The FourCC codec writes when none is chosen; empty for FFmpeg's own.
std::string DefaultFourCc(const AVCodec* codec);
// options with a FourCC given as FFmpeg's codec_tag (a number).
OptionValues WithCodecTag(OptionValues options);

} // namespace calvex::media::ffmpeg
