// SPDX-License-Identifier: GPL-2.0-or-later
// Silence in a copied sound stream's own format. Copied sound that starts
// after the pictures is put in step by silence before its first packet:
// players that ignore an AVI stream's start field (GStreamer, VLC) then hear
// it where FFmpeg does.
#pragma once

#include "media/ffmpeg/av_ptr.h"

#include <vector>

namespace calvex::media::ffmpeg {

// True when silent packets can be made that a decoder of sound takes as part
// of its stream: MP3, MP2, AC-3 and AAC-LC of a known rate and layout.
bool CanEncodeSilenceFor(const AVCodecParameters* sound);

// Whole frames of silence, as many as come nearest to samples, encoded at
// sound's rate, layout and (where it has one) bit rate; stamped from 0 in
// 1/sample rate. Empty when none are needed or they cannot be made.
std::vector<PacketPtr> EncodeSilence(const AVCodecParameters* sound, int64_t samples);

} // namespace calvex::media::ffmpeg
