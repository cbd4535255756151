// SPDX-License-Identifier: GPL-2.0-or-later
#include "media/ffmpeg/setting_wording.h"

#include "media/ffmpeg/flag_switches.h"
#include "media/ffmpeg/option_values.h"
#include "media/ffmpeg/setting_wording_tables.h"

#include <algorithm>
#include <sstream>
#include <string>

extern "C" {
#include <libavutil/opt.h>
}

namespace calvex::media::ffmpeg {
namespace {

bool AppliesTo(const char* encoders, const AVCodec* codec)
{
    std::istringstream names(encoders);
    for (std::string name; names >> name;)
        if (name == codec->name)
            return true;
    return false;
}

// The wording of a setting of codec: the encoder's own first, then the one
// every encoder shares.
const RowWording* WordingOf(const AVCodec* codec, const std::string& name)
{
    const RowWording* shared = nullptr;
    for (const auto* table : {&VideoWordings(), &AudioWordings()})
        for (const RowWording& wording : *table) {
            if (name != wording.name)
                continue;
            if (AppliesTo(wording.encoders, codec))
                return &wording;
            if (std::string(wording.encoders) == "*" && shared == nullptr)
                shared = &wording;
        }
    return shared;
}

// The option behind a setting: the encoder's own or a general one.
const AVOption* OptionOf(const AVCodec* codec, const std::string& name)
{
    const AVClass* own = codec->priv_class;
    const AVClass* general = avcodec_get_class();
    const AVOption* option = nullptr;
    if (own != nullptr)
        option = av_opt_find(&own, name.c_str(), nullptr, 0, AV_OPT_SEARCH_FAKE_OBJ);
    if (option == nullptr)
        option = av_opt_find(&general, name.c_str(), nullptr, 0, AV_OPT_SEARCH_FAKE_OBJ);
    return option;
}

void RenameChoices(EncoderSetting& setting, const std::vector<ChoiceWording>& words)
{
    for (SettingChoice& choice : setting.choices)
        for (const ChoiceWording& word : words)
            if (choice.value == word.value) {
                choice.name = word.name;
                if (word.help != nullptr)
                    choice.help = word.help;
            }
}

void MakeSwitch(EncoderSetting& setting, const RowWording& wording)
{
    setting.type = SettingType::Boolean;
    setting.choices.clear();
    if (wording.autoMeans != nullptr && setting.defaultValue != "0" && setting.defaultValue != "1")
        setting.defaultValue = wording.autoMeans;
}

void MakeChoice(EncoderSetting& setting, const std::vector<ChoiceWording>& words)
{
    setting.type = SettingType::Choice;
    setting.choices.clear();
    for (const ChoiceWording& word : words)
        setting.choices.push_back({word.name, word.help ? word.help : "", word.value});
}

// A plain number, its default in digits where FFmpeg named it.
void MakeNumber(EncoderSetting& setting, const AVOption* option)
{
    const bool real = option != nullptr &&
                      (option->type == AV_OPT_TYPE_FLOAT || option->type == AV_OPT_TYPE_DOUBLE);
    setting.type = real ? SettingType::Real : SettingType::Integer;
    setting.choices.clear();
    double number = 0;
    if (option != nullptr && !ParseReal(setting.defaultValue, number))
        setting.defaultValue =
            real ? FormatReal(option->default_val.dbl) : std::to_string(option->default_val.i64);
}

void Dress(const AVCodec* codec, const RowWording& wording, EncoderSetting& setting)
{
    const bool atDefault = setting.currentValue == setting.defaultValue;
    setting.label = wording.label;
    if (wording.help != nullptr)
        setting.help = wording.help;
    switch (wording.shape) {
    case RowShape::AsIs:
        RenameChoices(setting, wording.choices);
        break;
    case RowShape::Switch:
        MakeSwitch(setting, wording);
        break;
    case RowShape::Choice:
        MakeChoice(setting, wording.choices);
        break;
    case RowShape::Number:
        MakeNumber(setting, OptionOf(codec, setting.name));
        break;
    }
    if (atDefault)
        setting.currentValue = setting.defaultValue;
}

std::vector<EncoderSetting>::iterator Find(std::vector<EncoderSetting>& settings,
                                           const std::string& name)
{
    return std::find_if(settings.begin(), settings.end(),
                        [&](const EncoderSetting& s) { return s.name == name; });
}

// A switch row for each flag the tables name for codec, taken out of its flags row.
void AddFlagSwitches(const AVCodec* codec, std::vector<EncoderSetting>& settings)
{
    for (const auto* table : {&VideoWordings(), &AudioWordings()})
        for (const RowWording& wording : *table) {
            const std::optional<FlagSwitch> flagSwitch = FlagSwitchOf(wording.name);
            if (!flagSwitch || !AppliesTo(wording.encoders, codec))
                continue;
            const auto flagsRow = Find(settings, flagSwitch->option);
            if (flagsRow == settings.end())
                continue;
            if (std::optional<EncoderSetting> row = SplitFlag(*flagsRow, flagSwitch->flag))
                settings.push_back(std::move(*row));
        }
}

void Arrange(const AVCodec* codec, std::vector<EncoderSetting>& settings)
{
    const auto order =
        std::find_if(SheetOrders().begin(), SheetOrders().end(),
                     [&](const SheetOrder& o) { return AppliesTo(o.encoders, codec); });
    if (order == SheetOrders().end())
        return;
    const auto rank = [&](const EncoderSetting& setting) {
        const auto found = std::find_if(order->rows.begin(), order->rows.end(),
                                        [&](const char* row) { return setting.name == row; });
        return found - order->rows.begin();
    };
    for (EncoderSetting& setting : settings)
        if (rank(setting) < static_cast<long>(order->rows.size()))
            setting.group = SettingGroup::Encoder;
    std::stable_sort(settings.begin(), settings.end(),
                     [&](const EncoderSetting& a, const EncoderSetting& b) {
                         return std::pair(static_cast<int>(a.group), rank(a)) <
                                std::pair(static_cast<int>(b.group), rank(b));
                     });
}

} // namespace

void DressSettings(const AVCodec* codec, std::vector<EncoderSetting>& settings)
{
    AddFlagSwitches(codec, settings);
    for (EncoderSetting& setting : settings)
        if (const RowWording* wording = WordingOf(codec, setting.name))
            Dress(codec, *wording, setting);
    Arrange(codec, settings);
}

} // namespace calvex::media::ffmpeg
