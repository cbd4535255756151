#include "media/ffmpeg/encoder_options.h"

#include "media/ffmpeg/av_ptr.h"

#include <cstring>

extern "C" {
#include <libavutil/opt.h>
}

namespace calvex::media::ffmpeg {
namespace {

// The codec-context options users set most, offered besides the private ones.
constexpr const char* kCommonOptions[] = {"b", "g", "qmin", "qmax", "bf", "threads"};

// libx264 and libx265 take their presets as free text; these are their names.
constexpr const char* kX26xPresets[] = {"ultrafast", "superfast", "veryfast", "faster",
                                        "fast",      "medium",    "slow",     "slower",
                                        "veryslow",  "placebo"};

std::string OptionText(void* object, const char* name)
{
    uint8_t* text = nullptr;
    if (av_opt_get(object, name, 0, &text) < 0 || text == nullptr)
        return {};
    std::string result(reinterpret_cast<char*>(text));
    av_free(text);
    return result;
}

// The named values an option takes: the constants of its unit, in the order
// the encoder lists them.
std::vector<const AVOption*> NamedConstants(void* object, const AVOption* option)
{
    std::vector<const AVOption*> constants;
    if (option->unit == nullptr)
        return constants;
    const AVOption* candidate = nullptr;
    while ((candidate = av_opt_next(object, candidate)) != nullptr) {
        if (candidate->type == AV_OPT_TYPE_CONST && candidate->unit != nullptr &&
            std::strcmp(candidate->unit, option->unit) == 0)
            constants.push_back(candidate);
    }
    return constants;
}

std::vector<SettingChoice> NamedChoices(const std::vector<const AVOption*>& constants)
{
    std::vector<SettingChoice> choices;
    for (const AVOption* constant : constants)
        choices.push_back({constant->name, constant->help ? constant->help : "", constant->name});
    return choices;
}

SettingType TypeOf(const AVOption* option, bool hasChoices)
{
    switch (option->type) {
    case AV_OPT_TYPE_BOOL:
        return SettingType::Boolean;
    case AV_OPT_TYPE_INT:
    case AV_OPT_TYPE_INT64:
    case AV_OPT_TYPE_UINT64:
        return hasChoices ? SettingType::Choice : SettingType::Integer;
    case AV_OPT_TYPE_FLOAT:
    case AV_OPT_TYPE_DOUBLE:
    case AV_OPT_TYPE_RATIONAL:
        return SettingType::Real;
    default:
        return SettingType::Text;
    }
}

// The default of a choice setting as a choice's value rather than a number.
std::string ChoiceValueFor(const std::vector<const AVOption*>& constants, const std::string& number)
{
    for (const AVOption* constant : constants)
        if (std::to_string(constant->default_val.i64) == number)
            return constant->name;
    return number;
}

EncoderSetting Describe(void* object, const AVOption* option)
{
    const std::vector<const AVOption*> constants = NamedConstants(object, option);
    EncoderSetting setting;
    setting.name = option->name;
    setting.help = option->help ? option->help : "";
    setting.choices = NamedChoices(constants);
    setting.type = TypeOf(option, !setting.choices.empty());
    setting.minimum = option->min;
    setting.maximum = option->max;
    setting.defaultValue = OptionText(object, option->name);
    if (setting.type == SettingType::Choice)
        setting.defaultValue = ChoiceValueFor(constants, setting.defaultValue);
    setting.currentValue = setting.defaultValue;
    return setting;
}

bool IsUserSetting(const AVOption* option)
{
    return option->type != AV_OPT_TYPE_CONST && (option->flags & AV_OPT_FLAG_ENCODING_PARAM) &&
           !(option->flags & AV_OPT_FLAG_DEPRECATED) && !(option->flags & AV_OPT_FLAG_READONLY);
}

int KindFlag(const AVCodec* codec)
{
    return codec->type == AVMEDIA_TYPE_VIDEO ? AV_OPT_FLAG_VIDEO_PARAM : AV_OPT_FLAG_AUDIO_PARAM;
}

} // namespace

std::vector<EncoderSetting> DescribeEncoderOptions(const AVCodec* codec)
{
    std::vector<EncoderSetting> settings;
    CodecContextPtr context(avcodec_alloc_context3(codec));
    if (!context)
        return settings;
    if (codec->priv_class != nullptr && context->priv_data != nullptr) {
        const AVOption* option = nullptr;
        while ((option = av_opt_next(context->priv_data, option)) != nullptr)
            if (IsUserSetting(option))
                settings.push_back(Describe(context->priv_data, option));
    }
    for (const char* name : kCommonOptions) {
        const AVOption* option = av_opt_find(context.get(), name, nullptr, 0, 0);
        if (option != nullptr && IsUserSetting(option) && (option->flags & KindFlag(codec)))
            settings.push_back(Describe(context.get(), option));
    }
    return settings;
}

bool AcceptsOptionValue(const AVCodec* codec, const std::string& name, const std::string& value)
{
    CodecContextPtr context(avcodec_alloc_context3(codec));
    return context &&
           av_opt_set(context.get(), name.c_str(), value.c_str(), AV_OPT_SEARCH_CHILDREN) >= 0;
}

std::vector<std::string> PresetNames(const AVCodec* codec)
{
    std::vector<std::string> names;
    const std::string codecName = codec->name;
    if (codecName == "libx264" || codecName == "libx264rgb" || codecName == "libx265") {
        names.assign(std::begin(kX26xPresets), std::end(kX26xPresets));
        return names;
    }
    for (const EncoderSetting& setting : DescribeEncoderOptions(codec))
        if (setting.name == "preset")
            for (const SettingChoice& choice : setting.choices)
                names.push_back(choice.value);
    return names;
}

std::string DefaultPreset(const AVCodec* codec)
{
    for (const EncoderSetting& setting : DescribeEncoderOptions(codec))
        if (setting.name == "preset" && !setting.defaultValue.empty())
            return setting.defaultValue;
    const std::vector<std::string> names = PresetNames(codec);
    for (const std::string& name : names)
        if (name == "medium")
            return name;
    return names.empty() ? std::string() : names.front();
}

} // namespace calvex::media::ffmpeg
