// SPDX-License-Identifier: GPL-2.0-or-later
// The words of the settings sheets of the encoders users meet first (MPEG-4
// part 2, Xvid, x264, MJPEG, MP3, AC-3): a label that says what each row
// does, help that says what it costs and gains, plain names for FFmpeg's
// cryptic named values, switch rows for the flags a user looks for, and the
// rows in the order a person reads them. Keys and values stay FFmpeg's.
#pragma once

#include "media/encoder_settings.h"

#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace calvex::media::ffmpeg {

// Words, shapes and order for codec's settings, as described from its options.
void DressSettings(const AVCodec* codec, std::vector<EncoderSetting>& settings);

} // namespace calvex::media::ffmpeg
