// SPDX-License-Identifier: GPL-2.0-or-later
#include "media/ffmpeg/encoder_options.h"

#include "media/ffmpeg/av_ptr.h"
#include "media/ffmpeg/encoder_profiles.h"
#include "media/ffmpeg/four_cc.h"
#include "media/ffmpeg/option_values.h"
#include "media/ffmpeg/player_profile.h"
#include "media/ffmpeg/setting_wording.h"
#include "media/ffmpeg/two_pass.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>

extern "C" {
#include <libavutil/opt.h>
}

namespace calvex::media::ffmpeg {
namespace {

// Options never offered: simulated damage, log files, a replaced alias.
constexpr const char* kNeverOffered[] = {"error_rate", "ps",       "passlogfile",
                                         "stats",      "x264opts", "rc_buf_aggressivity"};
// The encoder's options users look for first.
constexpr const char* kFirstOptions[] = {"preset",  "tune",     "profile", "level", "deadline",
                                         "quality", "cpu-used", "speed",   "usage"};

struct Wording {
    const char* name;
    const char* label;
    const char* unit;
    double unitScale;
    const char* help; // null: FFmpeg's own
};

// Plain labels, units and help of the rate controls and general options.
constexpr Wording kWordings[] = {
    {"b", "Bit rate", "kbit/s", 1000, "The average bit rate to aim at."},
    {"maxrate", "Maximum bit rate", "kbit/s", 1000,
     "The highest bit rate the rate control allows, over one second; 0: no limit."},
    {"g", "Key-frame interval", "frames", 1,
     "The most pictures from one key frame to the next; -1: the encoder decides."},
    {"bf", "B-frames", "", 1,
     "The most B-frames (pictures predicted from both sides) in a row; -1: the encoder "
     "decides."},
    {"threads", "Threads", "", 1, "Threads to encode with; 0: chosen for the processor's cores."},
    {"flags", "Codec flags", "", 1, nullptr},
    {"qmin", "Lowest quantiser", "", 1,
     "The finest quantiser the rate control may use (lower is better); -1: the encoder decides."},
    {"qmax", "Highest quantiser", "", 1,
     "The coarsest quantiser the rate control may use; -1: the encoder decides."},
    {"bufsize", "Rate control buffer", "kbit", 1000,
     "The buffer over which the bit rate is kept; 0: the encoder decides."},
    {"minrate", "Minimum bit rate", "kbit/s", 1000, "The lowest bit rate; 0: no limit."},
    {"mbd", "Macroblock decision", "", 1, nullptr},
    {"trellis", "Trellis quantisation", "", 1, nullptr},
    {"cutoff", "Cut-off frequency", "Hz", 1,
     "The highest frequency of sound kept; 0: the encoder decides."},
    {"compression_level", "Compression level", "", 1, nullptr},
    {"keyint_min", "Shortest key-frame interval", "frames", 1, nullptr},
    {"refs", "Reference frames", "frames", 1, nullptr},
};

const Wording* WordingOf(const std::string& name)
{
    for (const Wording& wording : kWordings)
        if (name == wording.name)
            return &wording;
    return nullptr;
}

template <class List> bool Contains(const List& list, const std::string& name)
{
    return std::any_of(std::begin(list), std::end(list),
                       [&](const char* entry) { return name == entry; });
}

// "b_strategy" reads "B strategy", "aq-mode" "Aq mode".
std::string Humanize(const std::string& name)
{
    std::string label = name;
    std::replace_if(
        label.begin(), label.end(), [](char c) { return c == '_' || c == '-'; }, ' ');
    if (!label.empty() && label[0] >= 'a' && label[0] <= 'z')
        label[0] = static_cast<char>(label[0] - 'a' + 'A');
    return label;
}

SettingType TypeOf(const AVOption* option, bool hasChoices)
{
    switch (option->type) {
    case AV_OPT_TYPE_BOOL:
        return SettingType::Boolean;
    case AV_OPT_TYPE_FLAGS:
        return SettingType::Flags;
    case AV_OPT_TYPE_INT:
    case AV_OPT_TYPE_INT64:
    case AV_OPT_TYPE_UINT64:
        return hasChoices ? SettingType::Choice : SettingType::Integer;
    case AV_OPT_TYPE_FLOAT:
    case AV_OPT_TYPE_DOUBLE:
        return SettingType::Real;
    default:
        return SettingType::Text;
    }
}

const NamedValues* NamedValuesOf(const EncoderProfile& profile, const std::string& name)
{
    for (const NamedValues& named : profile.named)
        if (name == named.option)
            return &named;
    return nullptr;
}

// A switch FFmpeg leaves at "auto": a plain switch at what the encoder then
// does, when that is known; else a choice that says so.
void DescribeAutoSwitch(EncoderSetting& setting, const EncoderProfile& profile)
{
    const std::string means = FindOption(profile.autoMeans, setting.name);
    if (!means.empty()) {
        setting.defaultValue = means;
        return;
    }
    setting.type = SettingType::Choice;
    setting.choices = {{"Encoder's default", "", "-1"}, {"On", "", "1"}, {"Off", "", "0"}};
}

void DescribeChoices(EncoderSetting& setting, const EncoderProfile& profile,
                     const std::vector<const AVOption*>& constants)
{
    for (const AVOption* constant : OfferedConstants(constants))
        setting.choices.push_back(
            {constant->name, constant->help ? constant->help : "", constant->name});
    const bool named = std::any_of(setting.choices.begin(), setting.choices.end(),
                                   [&](const auto& c) { return c.value == setting.defaultValue; });
    if (named || setting.type != SettingType::Choice)
        return;
    const std::string means = FindOption(profile.autoMeans, setting.name);
    if (!means.empty()) {
        setting.defaultValue = means;
        return;
    }
    setting.choices.insert(setting.choices.begin(),
                           {"Encoder's default", "", setting.defaultValue});
}

void DescribeNamedText(EncoderSetting& setting, const NamedValues& named)
{
    setting.type = SettingType::Choice;
    if (named.noneLabel != nullptr)
        setting.choices.push_back({named.noneLabel, "", ""});
    for (const char* value : named.values)
        setting.choices.push_back({value, "", value});
    if (!setting.defaultValue.empty() && !Contains(named.values, setting.defaultValue))
        setting.choices.push_back({setting.defaultValue, "", setting.defaultValue});
}

void ApplyWording(EncoderSetting& setting)
{
    const Wording* wording = WordingOf(setting.name);
    if (wording == nullptr)
        return;
    setting.label = wording->label;
    setting.unit = wording->unit;
    setting.unitScale = wording->unitScale;
    if (wording->help != nullptr)
        setting.help = wording->help;
}

EncoderSetting Describe(void* object, const AVOption* option, const EncoderProfile& profile,
                        SettingGroup group)
{
    const std::vector<const AVOption*> constants = NamedConstants(object, option);
    EncoderSetting setting;
    setting.name = option->name;
    setting.label = Humanize(setting.name);
    setting.help = option->help ? option->help : "";
    setting.group = group;
    setting.type = TypeOf(option, !OfferedConstants(constants).empty());
    setting.minimum = option->min;
    setting.maximum = option->max;
    setting.defaultValue = KeptValue(object, option);
    if (setting.type == SettingType::Boolean && setting.defaultValue == "-1")
        DescribeAutoSwitch(setting, profile);
    else if (const NamedValues* named = NamedValuesOf(profile, setting.name))
        DescribeNamedText(setting, *named);
    else
        DescribeChoices(setting, profile, constants);
    const std::string initial = FindOption(profile.initial, setting.name);
    if (!initial.empty())
        setting.defaultValue = initial;
    ApplyWording(setting);
    setting.currentValue = setting.defaultValue;
    return setting;
}

bool IsUserSetting(const AVOption* option, int kindFlag)
{
    return option->type != AV_OPT_TYPE_CONST && (option->flags & AV_OPT_FLAG_ENCODING_PARAM) &&
           (option->flags & kindFlag) && !(option->flags & AV_OPT_FLAG_DEPRECATED) &&
           !(option->flags & AV_OPT_FLAG_READONLY);
}

int KindFlag(const AVCodec* codec)
{
    return codec->type == AVMEDIA_TYPE_VIDEO ? AV_OPT_FLAG_VIDEO_PARAM : AV_OPT_FLAG_AUDIO_PARAM;
}

bool IsIntraOnly(const AVCodec* codec)
{
    const AVCodecDescriptor* descriptor = avcodec_descriptor_get(codec->id);
    return ProfileOf(codec).intraOnly ||
           (descriptor != nullptr && (descriptor->props & AV_CODEC_PROP_INTRA_ONLY));
}

// B-frames: a format that reorders pictures, and an encoder that opens with them.
bool TakesBFrames(const AVCodec* codec)
{
    const AVCodecDescriptor* descriptor = avcodec_descriptor_get(codec->id);
    if (IsIntraOnly(codec) || descriptor == nullptr || !(descriptor->props & AV_CODEC_PROP_REORDER))
        return false;
    static std::mutex mutex;
    static std::map<std::string, bool> known;
    std::lock_guard lock(mutex);
    const auto found = known.find(codec->name);
    if (found != known.end())
        return found->second;
    const VideoFormat cif{352, 288, AV_PIX_FMT_YUV420P, {25, 1}};
    return known[codec->name] = PlanVideo(codec, cif, {{"bf", "2"}}).has_value();
}

bool TakesThreads(const AVCodec* codec)
{
    return codec->capabilities &
           (AV_CODEC_CAP_FRAME_THREADS | AV_CODEC_CAP_SLICE_THREADS | AV_CODEC_CAP_OTHER_THREADS);
}

// The names of the rate and key-frame controls that apply to codec, in order.
std::vector<std::string> RateControls(const AVCodec* codec, const EncoderProfile& profile)
{
    std::vector<std::string> names;
    if (profile.bitRate)
        names.push_back("b");
    if (profile.maxRate)
        names.push_back("maxrate");
    if (codec->type == AVMEDIA_TYPE_VIDEO && !IsIntraOnly(codec))
        names.push_back("g");
    if (codec->type == AVMEDIA_TYPE_VIDEO && TakesBFrames(codec))
        names.push_back("bf");
    if (TakesThreads(codec))
        names.push_back("threads");
    return names;
}

std::string BitRateHelp(const AVCodec* codec, const EncoderProfile& profile)
{
    if (profile.chooseRateMode)
        return "The constant bit rate; 0: chosen from the number of channels. Not used at a "
               "constant quality.";
    if (profile.quality.kind != QualityKind::None)
        return "The average bit rate to aim at instead of a constant quality; 0: none, the "
               "Quality setting decides.";
    if (profile.bitsPerPixel > 0 || profile.audioPerChannel > 0)
        return codec->type == AVMEDIA_TYPE_VIDEO
                   ? "The average bit rate to aim at; 0: chosen from the picture's size and rate."
                   : "The bit rate; 0: chosen from the number of channels.";
    return "The average bit rate to aim at.";
}

EncoderSetting QualitySetting(const EncoderProfile& profile)
{
    const QualityScale& scale = profile.quality;
    EncoderSetting setting;
    setting.name = scale.key;
    setting.label = "Quality";
    setting.group = SettingGroup::QualityAndRate;
    setting.type = scale.whole ? SettingType::Integer : SettingType::Real;
    setting.minimum = scale.minimum;
    setting.maximum = scale.maximum;
    setting.better = scale.lowerIsBetter ? BetterEnd::Lower : BetterEnd::Higher;
    setting.help = std::string("Constant quality: ") + scale.meaning +
                   (profile.chooseRateMode ? ". Used when the rate is set to constant quality."
                                           : ". Used while the bit rate is 0.");
    setting.defaultValue = FormatReal(scale.initial);
    setting.currentValue = setting.defaultValue;
    return setting;
}

double RateMaximum(const std::string& name)
{
    if (name == "b" || name == "maxrate")
        return 1e9; // bit/s
    if (name == "bf")
        return 16;
    return name == "threads" ? 64 : 100000;
}

EncoderSetting RateSetting(const AVCodec* codec, AVCodecContext* context,
                           const EncoderProfile& profile, const std::string& name)
{
    const AVOption* option = av_opt_find(context, name.c_str(), nullptr, 0, 0);
    EncoderSetting setting = Describe(context, option, profile, SettingGroup::QualityAndRate);
    if (name == "b") {
        setting.help = BitRateHelp(codec, profile);
        if (profile.quality.kind != QualityKind::None || profile.bitsPerPixel > 0 ||
            profile.audioPerChannel > 0)
            setting.defaultValue = "0";
    } else if (name == "threads") {
        setting.defaultValue = "0"; // the graph chooses the threads unless told
    }
    // Plain numbers (threads names its 0 "auto"), in ranges a person types;
    // FFmpeg's reach to the integer limits.
    setting.type = SettingType::Integer;
    setting.choices.clear();
    setting.minimum = std::max(setting.minimum, name == "g" || name == "bf" ? -1.0 : 0.0);
    setting.maximum = std::min(setting.maximum, RateMaximum(name));
    setting.currentValue = setting.defaultValue;
    return setting;
}

// Constant bit rate or constant quality, for an encoder whose files are
// read best at a constant rate.
EncoderSetting RateModeSetting()
{
    return ChoiceSetting(kRateModeSetting, "Rate",
                         "A constant bit rate, which every AVI player and editor reads right, or "
                         "a constant quality at a bit rate that varies, which some mishandle in "
                         "AVI.",
                         SettingGroup::QualityAndRate,
                         {{"Constant bit rate", "", kConstantRate},
                          {"Constant quality (variable bit rate)", "", kConstantQuality}},
                         kConstantRate);
}

void AddQualityAndRate(const AVCodec* codec, AVCodecContext* context,
                       std::vector<EncoderSetting>& settings)
{
    const EncoderProfile& profile = ProfileOf(codec);
    if (profile.chooseRateMode)
        settings.push_back(RateModeSetting());
    if (profile.quality.kind != QualityKind::None)
        settings.push_back(QualitySetting(profile));
    for (const std::string& name : RateControls(codec, profile))
        if (av_opt_find(context, name.c_str(), nullptr, 0, 0) != nullptr)
            settings.push_back(RateSetting(codec, context, profile, name));
    if (OffersTargetSize(codec))
        settings.push_back(TargetSizeSetting());
}

bool IsOffered(const AVCodec* codec, const AVOption* option)
{
    const EncoderProfile& profile = ProfileOf(codec);
    return IsUserSetting(option, KindFlag(codec)) && !Contains(kNeverOffered, option->name) &&
           !Contains(profile.hidden, option->name) &&
           option->name != std::string(profile.quality.key);
}

// The encoder's options users look for first, then its switches and named
// values, then its bare numbers and texts (mostly tuning of its internals).
int OrderOf(const EncoderSetting& setting)
{
    if (Contains(kFirstOptions, setting.name))
        return 0;
    const bool named = setting.type == SettingType::Boolean ||
                       setting.type == SettingType::Choice || setting.type == SettingType::Flags;
    return named ? 1 : 2;
}

void AddEncoderOptions(const AVCodec* codec, AVCodecContext* context,
                       std::vector<EncoderSetting>& settings)
{
    if (codec->priv_class == nullptr || context->priv_data == nullptr)
        return;
    std::vector<EncoderSetting> own;
    const AVOption* option = nullptr;
    while ((option = av_opt_next(context->priv_data, option)) != nullptr)
        if (IsOffered(codec, option))
            own.push_back(
                Describe(context->priv_data, option, ProfileOf(codec), SettingGroup::Encoder));
    std::stable_sort(own.begin(), own.end(), [](const EncoderSetting& a, const EncoderSetting& b) {
        return OrderOf(a) < OrderOf(b);
    });
    settings.insert(settings.end(), own.begin(), own.end());
}

void AddGeneralOptions(const AVCodec* codec, AVCodecContext* context,
                       std::vector<EncoderSetting>& settings)
{
    for (const char* name : ProfileOf(codec).general) {
        const AVOption* option = av_opt_find(context, name, nullptr, 0, 0);
        if (option != nullptr && IsUserSetting(option, KindFlag(codec)))
            settings.push_back(Describe(context, option, ProfileOf(codec), SettingGroup::General));
    }
}

bool IsQualityKey(const AVCodec* codec, const EncoderSetting& setting)
{
    const QualityScale& scale = ProfileOf(codec).quality;
    return scale.kind != QualityKind::None && setting.name == scale.key;
}

bool WithinRange(const EncoderSetting& setting, const std::string& value)
{
    if (setting.minimum >= setting.maximum ||
        (setting.type != SettingType::Integer && setting.type != SettingType::Real))
        return true;
    double number = 0;
    return ParseReal(value, number) && number >= setting.minimum && number <= setting.maximum;
}

// The quality of an encoder whose scale is no option of its own: a number in range.
std::optional<std::string> AcceptedQuality(const EncoderSetting& setting, const std::string& value)
{
    double number = 0;
    if (!ParseReal(value, number) || number < setting.minimum || number > setting.maximum ||
        (setting.type == SettingType::Integer && number != static_cast<long long>(number)))
        return std::nullopt;
    return FormatReal(number);
}

} // namespace

std::vector<EncoderSetting> DescribeEncoderOptions(const AVCodec* codec)
{
    std::vector<EncoderSetting> settings;
    CodecContextPtr context(avcodec_alloc_context3(codec));
    if (!context)
        return settings;
    AddQualityAndRate(codec, context.get(), settings);
    if (std::optional<EncoderSetting> player = PlayerSetting(codec))
        settings.push_back(*player);
    if (std::optional<EncoderSetting> fourCc = FourCcSetting(codec))
        settings.push_back(*fourCc);
    AddEncoderOptions(codec, context.get(), settings);
    if (codec->type == AVMEDIA_TYPE_VIDEO)
        settings.push_back(LargestPictureSetting());
    AddGeneralOptions(codec, context.get(), settings);
    DressSettings(codec, settings);
    return settings;
}

std::optional<std::string> AcceptedValue(const AVCodec* codec, const EncoderSetting& setting,
                                         const std::string& value)
{
    // The program's own choices, which no FFmpeg option stands behind.
    if (setting.name == kLargestSetting)
        return AcceptedPictureSize(value);
    if (setting.name == kTargetSizeSetting)
        return WithinRange(setting, value) &&
                       value.find_first_not_of("0123456789") == std::string::npos
                   ? std::optional<std::string>(value)
                   : std::nullopt;
    if (setting.name == kFourCcSetting || setting.name == kRateModeSetting ||
        setting.name == kPlayerSetting) {
        const bool listed = std::any_of(setting.choices.begin(), setting.choices.end(),
                                        [&](const SettingChoice& c) { return c.value == value; });
        return listed ? std::optional<std::string>(value) : std::nullopt;
    }
    const bool ownQuality = ProfileOf(codec).quality.kind == QualityKind::Private;
    if (IsQualityKey(codec, setting) && !ownQuality)
        return AcceptedQuality(setting, value);
    CodecContextPtr context(avcodec_alloc_context3(codec));
    void* target = nullptr;
    const AVOption* option = context ? av_opt_find2(context.get(), setting.name.c_str(), nullptr, 0,
                                                    AV_OPT_SEARCH_CHILDREN, &target)
                                     : nullptr;
    if (option == nullptr)
        return std::nullopt;
    // Names from a known list are taken as they are: the encoder checks them only when it opens.
    if (option->type == AV_OPT_TYPE_STRING && setting.type == SettingType::Choice) {
        const bool listed = std::any_of(setting.choices.begin(), setting.choices.end(),
                                        [&](const SettingChoice& c) { return c.value == value; });
        return listed ? std::optional<std::string>(value) : std::nullopt;
    }
    if (av_opt_set(target, setting.name.c_str(), value.c_str(), 0) < 0)
        return std::nullopt;
    // A number row keeps a number also where FFmpeg names it (threads' 0 is "auto").
    int64_t number = 0;
    const std::string kept = setting.type == SettingType::Integer &&
                                     av_opt_get_int(target, option->name, 0, &number) >= 0
                                 ? std::to_string(number)
                                 : KeptValue(target, option);
    if (!WithinRange(setting, kept))
        return std::nullopt;
    return kept;
}

std::vector<std::string> PresetNames(const AVCodec* codec)
{
    std::vector<std::string> names;
    for (const EncoderSetting& setting : DescribeEncoderOptions(codec))
        if (setting.name == "preset" && setting.type == SettingType::Choice)
            for (const SettingChoice& choice : setting.choices)
                if (!choice.value.empty())
                    names.push_back(choice.value);
    return names;
}

std::string DefaultPreset(const AVCodec* codec)
{
    for (const EncoderSetting& setting : DescribeEncoderOptions(codec))
        if (setting.name == "preset")
            return setting.defaultValue;
    return {};
}

} // namespace calvex::media::ffmpeg
