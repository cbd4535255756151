// SPDX-License-Identifier: GPL-2.0-or-later
#include "media/ffmpeg/player_profile.h"

#include "media/ffmpeg/encoder_profiles.h"
#include "media/ffmpeg/flag_switches.h"
#include "media/ffmpeg/option_values.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace calvex::media::ffmpeg {
namespace {

// DivX Home Theater's limits, which Xvid's and the players' profiles share.
constexpr double kPeakRate = 4854000;   // bit/s
constexpr double kRateBuffer = 3145728; // bits: 384 KiB
constexpr int kAdvancedSimpleProfile = 15;
constexpr int kLevel5 = 5; // up to 720x576 at 30 fps
constexpr double kHighestRate = 30.5;

bool OffersPlayer(const AVCodec* codec)
{
    return ProfileOf(codec).standalonePlayer;
}

bool ForStandalonePlayer(const OptionValues& options)
{
    return FindOption(options, kPlayerSetting) == kStandalonePlayer;
}

void Set(OptionValues& options, const std::string& name, const std::string& value)
{
    for (auto& [key, kept] : options) {
        if (key == name) {
            kept = value;
            return;
        }
    }
    options.emplace_back(name, value);
}

int EvenAtLeastTwo(double value)
{
    return std::max(2, static_cast<int>(std::lround(value / 2)) * 2);
}

} // namespace

std::optional<EncoderSetting> PlayerSetting(const AVCodec* codec)
{
    if (!OffersPlayer(codec))
        return std::nullopt;
    return ChoiceSetting(
        kPlayerSetting, "Player",
        "What the file is made for. A standalone DivX/Xvid player (DVD player, TV, car) reads "
        "only the Advanced Simple profile without quarter-pixel and global motion, one B-frame "
        "in a row at most, a peak rate of 4854 kbit/s and pictures up to 720x576 (25 fps) or "
        "720x480 (30 fps): the file keeps to that, its picture scaled down to fit.",
        SettingGroup::Encoder,
        {{"Computers", "Every desktop player: nothing is limited", kComputers},
         {"Standalone DivX/Xvid player", "The profile such players read", kStandalonePlayer}},
        kComputers);
}

EncoderSetting LargestPictureSetting()
{
    return ChoiceSetting(
        kLargestSetting, "Largest picture",
        "A larger picture is scaled down to fit, keeping its shape (square pixels, even "
        "sizes); a smaller one is never scaled up. Also any WIDTHxHEIGHT.",
        SettingGroup::General,
        {{"Any size", "The source's size", kAnySize},
         {"DVD: 720x576 at 25 fps, 720x480 at 30 fps", "", kDvdSize},
         {"1920x1080", "", "1920x1080"},
         {"1280x720", "", "1280x720"},
         {"640x480", "", "640x480"}},
        kAnySize);
}

std::optional<std::string> AcceptedPictureSize(const std::string& value)
{
    if (value == kAnySize || value == kDvdSize)
        return value;
    int width = 0, height = 0;
    char end = 0;
    if (std::sscanf(value.c_str(), "%dx%d%c", &width, &height, &end) != 2 || width < 16 ||
        height < 16 || width > 16384 || height > 16384)
        return std::nullopt;
    return std::to_string(width) + "x" + std::to_string(height);
}

OptionValues ForPlayer(const AVCodec* codec, const OptionValues& user, OptionValues opening)
{
    if (!OffersPlayer(codec) || !ForStandalonePlayer(user))
        return opening;
    if (HasOption(opening, "flags"))
        Set(opening, "flags",
            WithFlag(WithFlag(FindOption(opening, "flags"), "qpel", false), "gmc", false));
    if (std::strcmp(codec->name, "libxvid") == 0) {
        Set(opening, "gmc", "0");
    } else {
        Set(opening, "profile", std::to_string(kAdvancedSimpleProfile));
        Set(opening, "level", std::to_string(kLevel5));
    }
    if (OptionNumber(opening, "bf") > 1)
        Set(opening, "bf", "1");
    for (const auto& [name, limit] :
         {std::pair{"maxrate", kPeakRate}, std::pair{"bufsize", kRateBuffer}})
        if (OptionNumber(opening, name) <= 0 || OptionNumber(opening, name) > limit)
            Set(opening, name, std::to_string(std::lround(limit)));
    // A constant quantiser cannot keep to a peak rate: it becomes the finest
    // the rate control uses, which may take a coarser one where the rate
    // would pass the peak.
    const double bitRate = OptionNumber(opening, "b");
    if (bitRate <= 0) {
        Set(opening, "b", std::to_string(std::lround(kPeakRate)));
        Set(opening, "qmax", "31");
    } else if (bitRate > kPeakRate) {
        Set(opening, "b", std::to_string(std::lround(kPeakRate)));
    }
    return opening;
}

std::optional<PictureSize> LargestPicture(const OptionValues& options, AVRational frameRate)
{
    std::string largest = FindOption(options, kLargestSetting);
    if (ForStandalonePlayer(options) && (largest.empty() || largest == kAnySize))
        largest = kDvdSize;
    if (largest.empty() || largest == kAnySize)
        return std::nullopt;
    if (largest == kDvdSize) {
        const double rate = frameRate.den > 0 ? av_q2d(frameRate) : 25;
        return PictureSize{720, rate > 25.5 ? 480 : 576};
    }
    PictureSize box;
    if (std::sscanf(largest.c_str(), "%dx%d", &box.width, &box.height) != 2)
        return std::nullopt;
    return box;
}

std::optional<PictureSize> FitPicture(int width, int height, AVRational sampleAspect,
                                      PictureSize box)
{
    const double aspect = sampleAspect.num > 0 && sampleAspect.den > 0 ? av_q2d(sampleAspect) : 1;
    const double shownWidth = width * aspect;
    if (shownWidth <= box.width + 0.5 && height <= box.height)
        return std::nullopt;
    const double scale = std::min(box.width / shownWidth, double(box.height) / height);
    PictureSize fitted{EvenAtLeastTwo(shownWidth * scale), EvenAtLeastTwo(height * scale)};
    fitted.width = std::min(fitted.width, box.width & ~1);
    fitted.height = std::min(fitted.height, box.height & ~1);
    return fitted;
}

AVRational PlayerFrameRate(const OptionValues& options, AVRational frameRate)
{
    if (!ForStandalonePlayer(options) || frameRate.den <= 0)
        return frameRate;
    while (av_q2d(frameRate) > kHighestRate)
        frameRate = av_mul_q(frameRate, {1, 2});
    return frameRate;
}

} // namespace calvex::media::ffmpeg
