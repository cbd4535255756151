// SPDX-License-Identifier: GPL-2.0-or-later
// Files for the player the user has. A standalone DivX/Xvid player (a DVD
// player, a TV, a car's head unit) reads MPEG-4 part 2 only within its
// profile: Advanced Simple without quarter-pixel and global motion, at most
// one B-frame in a row, a 384 KiB rate buffer and a peak rate of 4854
// kbit/s, pictures no larger than 720x576 at 25 or 720x480 at 30 frames a
// second. And any encoder's picture may be kept within a largest size.
#pragma once

#include "media/encoder_settings.h"
#include "media/ffmpeg/encoder_plan.h"

#include <optional>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace calvex::media::ffmpeg {

inline constexpr const char* kPlayerSetting = "player";
inline constexpr const char* kComputers = "computers";
inline constexpr const char* kStandalonePlayer = "standalone";
inline constexpr const char* kLargestSetting = "largest";
inline constexpr const char* kAnySize = "any";
inline constexpr const char* kDvdSize = "dvd"; // 720x576 at 25 fps, 720x480 at 30

// The Player row, for the encoders that can write for a standalone player.
std::optional<EncoderSetting> PlayerSetting(const AVCodec* codec);
// The Largest picture row, for every video encoder.
EncoderSetting LargestPictureSetting();
// The value as the setting keeps it, or nothing when it is refused.
std::optional<std::string> AcceptedPictureSize(const std::string& value);

// The options codec opens with (opening, from the user's options) for the
// player the user chose: for a standalone player, the profile's limits put
// over them.
OptionValues ForPlayer(const AVCodec* codec, const OptionValues& user, OptionValues opening);

struct PictureSize {
    int width = 0;
    int height = 0;
};

// The box the picture must fit in, for a source at frameRate; nothing when
// any size will do.
std::optional<PictureSize> LargestPicture(const OptionValues& options, AVRational frameRate);

// The square-pixel size, even on both sides, of a picture width x height
// with pixel aspect sampleAspect scaled down to fit box keeping its shape;
// nothing when it fits as it is.
std::optional<PictureSize> FitPicture(int width, int height, AVRational sampleAspect,
                                      PictureSize box);

// The frame rate a standalone player takes: at most 30 a second (a 50 or
// 60 fps source at half its rate); any rate otherwise.
AVRational PlayerFrameRate(const OptionValues& options, AVRational frameRate);

} // namespace calvex::media::ffmpeg
