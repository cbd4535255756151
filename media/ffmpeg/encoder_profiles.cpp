// SPDX-License-Identifier: GPL-2.0-or-later
#include "media/ffmpeg/encoder_profiles.h"

#include "media/ffmpeg/flag_switches.h"
#include "media/ffmpeg/four_cc.h"
#include "media/ffmpeg/option_values.h"
#include "media/ffmpeg/player_profile.h"
#include "media/ffmpeg/two_pass.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace calvex::media::ffmpeg {
namespace {

// A quality scale from 0 to maximum where lower is better, in whole steps.
QualityScale Scale(QualityKind kind, const char* key, double maximum, double initial,
                   const char* meaning)
{
    QualityScale scale;
    scale.kind = kind;
    scale.key = key;
    scale.maximum = maximum;
    scale.initial = initial;
    scale.meaning = meaning;
    return scale;
}

// The quantiser of the MPEG and H.263 family and of MJPEG: 2 is best, 31 worst.
// 4 keeps the reference clips at an SSIM of 0.977 or more (noisy upscaled
// footage) and 0.986 on clean footage, at about half the bit rate of 2.
QualityScale Quantiser(double initial)
{
    QualityScale scale =
        Scale(QualityKind::Quantiser, "qscale", 31, initial, "a fixed quantiser, 2 to 31");
    scale.minimum = 2;
    return scale;
}

const std::vector<const char*> kMpegVideoGeneral = {"flags", "mbd",     "trellis", "qmin",
                                                    "qmax",  "bufsize", "minrate"};

// Pictures coded on their own have no rate buffer to keep.
const std::vector<const char*> kIntraGeneral = {"flags", "trellis", "qmin", "qmax"};

EncoderProfile MpegVideo(double quantiser, bool intraOnly = false)
{
    EncoderProfile profile;
    profile.quality = Quantiser(quantiser);
    profile.bitRate = true;
    profile.maxRate = !intraOnly;
    profile.intraOnly = intraOnly;
    profile.general = intraOnly ? kIntraGeneral : kMpegVideoGeneral;
    return profile;
}

// MPEG-4 Visual takes a long distance between key frames well (ten seconds
// at 25 frames per second); FFmpeg's 12 costs a third more bits.
EncoderProfile Mpeg4Family(double quantiser)
{
    EncoderProfile profile = MpegVideo(quantiser);
    profile.initial = {{"g", "250"}};
    return profile;
}

EncoderProfile X264()
{
    EncoderProfile profile;
    profile.quality =
        Scale(QualityKind::Private, "crf", 51, 23, "the rate factor, 0 (lossless) to 51");
    profile.quality.whole = false;
    profile.bitRate = true;
    profile.maxRate = true;
    profile.general = {"flags", "refs", "keyint_min", "qmin", "qmax", "bufsize"};
    // x264's own choices for what FFmpeg leaves at "auto" (preset medium).
    profile.autoMeans = {{"aq-mode", "variance"},
                         {"weightp", "smart"},
                         {"b-pyramid", "normal"},
                         {"direct-pred", "spatial"},
                         {"motion-est", "hex"},
                         {"me_method", "hex"},
                         {"psy", "1"},
                         {"weightb", "1"},
                         {"mixed-refs", "1"},
                         {"8x8dct", "1"},
                         {"fast-pskip", "1"},
                         {"aud", "0"},
                         {"mbtree", "1"},
                         {"ssim", "0"},
                         {"intra-refresh", "0"},
                         {"bluray-compat", "0"}};
    profile.named = {
        {"preset",
         {"ultrafast", "superfast", "veryfast", "faster", "fast", "medium", "slow", "slower",
          "veryslow", "placebo"},
         nullptr},
        {"tune",
         {"film", "animation", "grain", "stillimage", "psnr", "ssim", "fastdecode", "zerolatency"},
         "none"},
        {"profile", {"baseline", "main", "high", "high10", "high422", "high444"}, "automatic"},
    };
    profile.hidden = {"qp"};
    // An AVI carries no presentation times: pictures that B-frames reorder
    // come out of the decoder later, which FFmpeg's reader makes good and
    // GStreamer's and VLC's do not (83 ms apart at 24 fps). Without them
    // every player shows picture and sound in step, for some 5 to 15 % more
    // bits at the same rate factor.
    profile.initial = {{"bf", "0"}};
    return profile;
}

EncoderProfile Vpx(bool vp9)
{
    EncoderProfile profile;
    // VP9's own default; VP8 at 35 matches it on the reference clips.
    const double level = vp9 ? 32 : 35;
    profile.quality =
        Scale(QualityKind::Private, "crf", 63, level, "the constant quality level, 0 to 63");
    profile.bitRate = true;
    profile.general = {"qmin", "qmax", "bufsize"};
    // VP9 keeps a quality exactly with no bit rate; VP8's constrained
    // quality needs a ceiling, set well above what the quality needs.
    profile.zeroBitRateForQuality = vp9;
    profile.capBitsPerPixel = vp9 ? 0 : 0.7;
    return profile;
}

EncoderProfile Av1(const char* key, double maximum, double initial, const char* meaning)
{
    EncoderProfile profile;
    profile.quality = Scale(QualityKind::Private, key, maximum, initial, meaning);
    profile.bitRate = true;
    profile.zeroBitRateForQuality = true;
    return profile;
}

// The codec context's quality scale, taken as a decimal number.
EncoderProfile GlobalQuality(double minimum, double maximum, double initial, bool lowerIsBetter,
                             const char* meaning)
{
    EncoderProfile profile;
    profile.quality = Scale(QualityKind::GlobalQuality, "qscale", maximum, initial, meaning);
    profile.quality.minimum = minimum;
    profile.quality.lowerIsBetter = lowerIsBetter;
    profile.quality.whole = false;
    profile.bitRate = true;
    return profile;
}

EncoderProfile AutomaticRate(double bitsPerPixel)
{
    EncoderProfile profile;
    profile.bitRate = true;
    profile.bitsPerPixel = bitsPerPixel;
    return profile;
}

EncoderProfile AudioRate(int perChannel, int maximum, std::vector<int> rates)
{
    EncoderProfile profile;
    profile.bitRate = true;
    profile.audioPerChannel = perChannel;
    profile.audioMaximum = maximum;
    profile.audioRates = std::move(rates);
    profile.general = {"cutoff"};
    return profile;
}

using Profiles = std::map<std::string, EncoderProfile>;

void AddVideoProfiles(Profiles& profiles)
{
    for (const char* name : {"mpeg4", "libxvid"})
        profiles[name] = Mpeg4Family(4);
    // Written as Xvid's: FFmpeg's own FMP4 is known to FFmpeg-based players only.
    profiles["mpeg4"].initial.emplace_back(kFourCcSetting, "XVID");
    profiles["libxvid"].general = {"flags", "qmin", "qmax"};
    for (const char* name : {"mpeg4", "libxvid"})
        profiles[name].standalonePlayer = true;
    profiles["libxvid"].maxRate = false;
    for (const char* name :
         {"msmpeg4v2", "msmpeg4", "wmv1", "wmv2", "h263", "h263p", "flv", "h261", "mpeg1video"})
        profiles[name] = MpegVideo(4);
    // MPEG-2's 4 spends 40 % more bits than its 5 for no better picture.
    profiles["mpeg2video"] = MpegVideo(5);
    // Pictures coded on their own need a finer quantiser for the same look.
    profiles["mjpeg"] = MpegVideo(6, true);
    profiles["speedhq"] = MpegVideo(6, true);
    profiles["amv"] = MpegVideo(6, true);
    profiles["amv"].quality = {};
    for (const char* name : {"libx264", "libx264rgb"})
        profiles[name] = X264();
    for (const char* name :
         {"mpeg4", "libxvid", "libx264", "libx264rgb", "mpeg1video", "mpeg2video"})
        profiles[name].twoPass = true;
    profiles["libvpx"] = Vpx(false);
    profiles["libvpx-vp9"] = Vpx(true);
    profiles["libaom-av1"] = Av1("crf", 63, 32, "the constant quality level, 0 to 63");
    // libaom's own speed (1) takes minutes for seconds of video; 4 costs
    // little quality at several times the speed.
    profiles["libaom-av1"].initial = {{"cpu-used", "4"}};
    profiles["libaom-av1"].general = {"qmin", "qmax"};
    profiles["libsvtav1"] = Av1("crf", 63, 35, "the constant rate factor, 1 to 63");
    profiles["libsvtav1"].quality.minimum = 1;
    profiles["librav1e"] = Av1("qp", 255, 100, "the quantiser, 0 to 255");
    profiles["libtheora"] = GlobalQuality(0, 10, 7, false, "Theora's quality, 0 to 10");
    for (const char* name : {"asv1", "asv2"})
        profiles[name] = GlobalQuality(1, 31, 4, true, "the quantiser, 1 to 31");
    // Snow's and VC-2's quality follow their bit rate alone.
    profiles["snow"] = AutomaticRate(0.17);
    profiles["vc2"] = AutomaticRate(4);
    profiles["vc2"].intraOnly = true;
}

void AddAudioProfiles(Profiles& profiles)
{
    // Constant-rate MP3 is what every AVI reader and editor takes: variable
    // rate in AVI is a workaround many players and programs mishandle
    // (wrong length, drifting sound). Its quality scale stays a choice.
    EncoderProfile& mp3 = profiles["libmp3lame"];
    mp3 = AudioRate(96, 320, {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320});
    mp3.quality =
        GlobalQuality(0, 9, 2, true, "the VBR level, 0 to 9 (2: about 190 kbit/s)").quality;
    mp3.chooseRateMode = true;
    mp3.general = {"cutoff", "compression_level"};
    profiles["libvorbis"] =
        GlobalQuality(-1, 10, 5, false, "Vorbis quality, -1 to 10 (5: about 160 kbit/s)");
    profiles["libvorbis"].general = {"cutoff"};
    profiles["aac"] = AudioRate(80, 512, {});
    const std::vector<int> ac3Rates = {32,  40,  48,  56,  64,  80,  96,  112, 128, 160,
                                       192, 224, 256, 320, 384, 448, 512, 576, 640};
    for (const char* name : {"ac3", "ac3_fixed", "eac3"})
        profiles[name] = AudioRate(96, 448, ac3Rates);
    const std::vector<int> mp2Rates = {32,  48,  56,  64,  80,  96,  112,
                                       128, 160, 192, 224, 256, 320, 384};
    for (const char* name : {"mp2", "mp2fixed", "libtwolame"})
        profiles[name] = AudioRate(112, 384, mp2Rates);
    profiles["libshine"] =
        AudioRate(96, 320, {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320});
    profiles["libshine"].general = {};
    for (const char* name : {"wmav1", "wmav2", "libspeex"})
        profiles[name].bitRate = true;
}

Profiles BuildProfiles()
{
    Profiles profiles;
    AddVideoProfiles(profiles);
    AddAudioProfiles(profiles);
    return profiles;
}

// A bit rate the user set: a positive number (0 leaves the choice to the program).
bool HasUserBitRate(const OptionValues& options)
{
    const std::string value = FindOption(options, "b");
    double number = 0;
    return !value.empty() && (!ParseReal(value, number) || number > 0);
}

// True when the options leave the rate to the encoder's constant quality.
bool InQualityMode(const AVCodec* codec, const OptionValues& options)
{
    const EncoderProfile& profile = ProfileOf(codec);
    if (profile.chooseRateMode)
        return FindOption(options, kRateModeSetting) == kConstantQuality;
    return profile.quality.kind != QualityKind::None && !HasUserBitRate(options);
}

// The quality control put in FFmpeg's own options.
void AddQuality(const EncoderProfile& profile, const OptionValues& options, OptionValues& result)
{
    const QualityScale& scale = profile.quality;
    double quality = scale.initial;
    ParseReal(FindOption(options, scale.key), quality);
    switch (scale.kind) {
    case QualityKind::Quantiser:
        // The user's own bounds win; with none, the rate control keeps to one value.
        for (const char* bound : {"qmin", "qmax"})
            if (!HasOption(options, bound))
                result.emplace_back(bound, std::to_string(std::lround(quality)));
        break;
    case QualityKind::GlobalQuality: {
        const std::string flags = FindOption(options, "flags");
        result.emplace_back("flags", flags.empty() ? "+qscale" : flags + "+qscale");
        result.emplace_back("global_quality", std::to_string(std::lround(quality * FF_QP2LAMBDA)));
        break;
    }
    case QualityKind::Private:
        result.emplace_back(scale.key, FormatReal(quality));
        break;
    case QualityKind::None:
        break;
    }
    if (profile.zeroBitRateForQuality)
        result.emplace_back("b", "0");
}

// FFmpeg's own MPEG video encoders, which share one rate control and one
// picture-type decision.
bool IsMpegVideoEncoder(const AVCodec* codec)
{
    static const std::vector<std::string> names = {"mpeg4", "mpeg1video", "mpeg2video", "h263",
                                                   "h263p", "msmpeg4v2",  "msmpeg4",    "wmv1",
                                                   "wmv2",  "flv",        "h261"};
    return std::find(names.begin(), names.end(), codec->name) != names.end();
}

// Skipped user values: the quality key (added in FFmpeg's terms), a bit rate
// or thread count of 0 (the program's choice), empty text (the encoder's default).
bool PassedAsIs(const EncoderProfile& profile, bool quality, const std::string& name,
                const std::string& value)
{
    if (value.empty() || name == profile.quality.key || name == kRateModeSetting ||
        name == kPlayerSetting || name == kLargestSetting || name == kTargetSizeSetting)
        return false;
    if (name == "b")
        return !quality && value != "0";
    if (name == "threads")
        return HasUserThreads({{name, value}}); // 0: the graph's own choice
    return !(name == "flags" && quality && profile.quality.kind == QualityKind::GlobalQuality);
}

} // namespace

const EncoderProfile& ProfileOf(const AVCodec* codec)
{
    static const Profiles profiles = BuildProfiles();
    static const EncoderProfile none;
    const auto found = profiles.find(codec->name);
    return found == profiles.end() ? none : found->second;
}

OptionValues OpeningOptions(const AVCodec* codec, const OptionValues& options)
{
    const EncoderProfile& profile = ProfileOf(codec);
    const bool quality = InQualityMode(codec, options);
    OptionValues result;
    for (const auto& [name, value] : profile.initial)
        if (!HasOption(options, name))
            result.emplace_back(name, value);
    for (const auto& [name, value] : options)
        if (PassedAsIs(profile, quality, name, value))
            result.emplace_back(name, value);
    if (quality)
        AddQuality(profile, options, result);
    // These encoders refuse a closed GOP while scene cuts may start one: a
    // closed GOP turns the detection off, as FFmpeg asks for.
    if (IsMpegVideoEncoder(codec) && HasFlag(FindOption(result, "flags"), "cgop") &&
        !HasOption(result, "sc_threshold"))
        result.emplace_back("sc_threshold", "1000000000");
    // A maximum rate needs a buffer to hold it over: one second's worth.
    const std::string maxRate = FindOption(options, "maxrate");
    if (!maxRate.empty() && maxRate != "0" && !HasOption(options, "bufsize"))
        result.emplace_back("bufsize", maxRate);
    return WithCodecTag(ForPlayer(codec, options, std::move(result)));
}

int64_t AutomaticVideoBitRate(const AVCodec* codec, const OptionValues& options, int width,
                              int height, AVRational frameRate)
{
    const EncoderProfile& profile = ProfileOf(codec);
    if (HasUserBitRate(options))
        return 0;
    const double bitsPerPixel =
        InQualityMode(codec, options) ? profile.capBitsPerPixel : profile.bitsPerPixel;
    const double rate = frameRate.num > 0 && frameRate.den > 0 ? av_q2d(frameRate) : 25.0;
    return std::llround(bitsPerPixel * width * height * rate);
}

int64_t AutomaticAudioBitRate(const AVCodec* codec, const OptionValues& options, int channels)
{
    const EncoderProfile& profile = ProfileOf(codec);
    if (HasUserBitRate(options) || InQualityMode(codec, options) || profile.audioPerChannel == 0)
        return 0;
    int kbits = std::min(profile.audioPerChannel * std::max(channels, 1), profile.audioMaximum);
    // The highest rate the format allows at or below it.
    for (auto rate = profile.audioRates.rbegin(); rate != profile.audioRates.rend(); ++rate)
        if (*rate <= kbits) {
            kbits = *rate;
            break;
        }
    return int64_t{kbits} * 1000;
}

} // namespace calvex::media::ffmpeg
