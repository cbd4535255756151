// SPDX-License-Identifier: GPL-2.0-or-later
// Where an AVI made with an encoder plays, in one line for its settings sheet
// and the converter's list: what matters to a user choosing an encoder for
// the player they have.
#pragma once

#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace calvex::media::ffmpeg {

// Empty for an encoder nothing is known of.
std::string WherePlays(const AVCodec* codec);

} // namespace calvex::media::ffmpeg
