// SPDX-License-Identifier: GPL-2.0-or-later
// The encoders this machine can use to write an AVI file, per kind.
#pragma once

#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace calvex::media::ffmpeg {

// Encoders of kind (video or audio) that the AVI muxer accepts, that are not
// experimental nor hardware wrappers, and that open on this machine. Built
// once per process (trial opens cost tens of milliseconds), in libavcodec's order.
const std::vector<const AVCodec*>& AviEncoders(AVMediaType kind);

// True when the AVI muxer takes streams of this codec.
bool AviTakesCodec(AVCodecID codec);

} // namespace calvex::media::ffmpeg
