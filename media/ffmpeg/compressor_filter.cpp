// SPDX-License-Identifier: GPL-2.0-or-later
#include "media/ffmpeg/compressor_filter.h"

#include "media/ffmpeg/encoder_options.h"
#include "media/ffmpeg/flag_switches.h"
#include "media/ffmpeg/plays_on.h"

#include <algorithm>
#include <map>

namespace calvex::media::ffmpeg {
namespace {

// Each encoder's kept configuration, by encoder name, for the life of the process.
class KeptConfigurations {
public:
    static KeptConfigurations& Instance()
    {
        static KeptConfigurations kept;
        return kept;
    }
    OptionValues Of(const AVCodec* codec)
    {
        std::lock_guard lock(m_mutex);
        const auto found = m_values.find(codec->name);
        return found == m_values.end() ? OptionValues{} : found->second;
    }
    void Keep(const AVCodec* codec, OptionValues values)
    {
        std::lock_guard lock(m_mutex);
        m_values[codec->name] = std::move(values);
    }

private:
    std::mutex m_mutex;
    std::map<std::string, OptionValues> m_values;
};

class PropertyPages : public ISpecifyPropertyPages {
public:
    explicit PropertyPages(std::shared_ptr<CompressorFilter> filter) : m_filter(std::move(filter))
    {
    }

    std::string WherePlays() const override { return ffmpeg::WherePlays(m_filter->Codec()); }

    std::vector<EncoderSetting> GetPages() const override
    {
        std::vector<EncoderSetting> pages = m_filter->Settings();
        for (EncoderSetting& setting : pages) {
            const std::string value = m_filter->Option(setting.name);
            if (!value.empty())
                setting.currentValue = value;
        }
        return pages;
    }

    bool SetValue(const std::string& name, const std::string& value) override
    {
        return m_filter->SetOption(name, value);
    }

    void KeepSettings() override { m_filter->KeepOptions(); }

private:
    std::shared_ptr<CompressorFilter> m_filter;
};

class PresetDialog : public ICodecDialog {
public:
    PresetDialog(std::shared_ptr<CompressorFilter> filter, std::vector<std::string> presets)
        : m_filter(std::move(filter)), m_presets(std::move(presets))
    {
    }

    std::string Title() const override
    {
        return std::string(m_filter->Codec()->long_name ? m_filter->Codec()->long_name
                                                        : m_filter->Codec()->name) +
               " presets";
    }

    std::vector<std::string> Presets() const override { return m_presets; }

    std::string CurrentPreset() const override
    {
        const std::string chosen = m_filter->Option("preset");
        return chosen.empty() ? DefaultPreset(m_filter->Codec()) : chosen;
    }

    bool ChoosePreset(const std::string& preset) override
    {
        if (std::find(m_presets.begin(), m_presets.end(), preset) == m_presets.end())
            return false;
        return m_filter->SetOption("preset", preset);
    }

private:
    std::shared_ptr<CompressorFilter> m_filter;
    std::vector<std::string> m_presets;
};

} // namespace

CompressorFilter::CompressorFilter(const AVCodec* codec)
    : m_codec(codec), m_values(KeptConfigurations::Instance().Of(codec))
{
}

OptionValues CompressorFilter::Options() const
{
    std::lock_guard lock(m_mutex);
    return m_values;
}

std::string CompressorFilter::Option(const std::string& name) const
{
    std::lock_guard lock(m_mutex);
    // A flag's switch reads the flag in its option's value.
    if (const std::optional<FlagSwitch> flagSwitch = FlagSwitchOf(name)) {
        const std::string flags = FindOption(m_values, flagSwitch->option);
        return flags.empty() ? flags : HasFlag(flags, flagSwitch->flag) ? "1" : "0";
    }
    return FindOption(m_values, name);
}

const std::vector<EncoderSetting>& CompressorFilter::Settings() const
{
    std::lock_guard lock(m_mutex);
    if (!m_settings)
        m_settings = DescribeEncoderOptions(m_codec);
    return *m_settings;
}

const EncoderSetting* CompressorFilter::SettingNamed(const std::string& name) const
{
    const std::vector<EncoderSetting>& settings = Settings();
    const auto setting = std::find_if(settings.begin(), settings.end(),
                                      [&](const EncoderSetting& s) { return s.name == name; });
    return setting == settings.end() ? nullptr : &*setting;
}

bool CompressorFilter::SetOption(const std::string& name, const std::string& value)
{
    const EncoderSetting* setting = SettingNamed(name);
    if (setting == nullptr)
        return false;
    if (const std::optional<FlagSwitch> flagSwitch = FlagSwitchOf(name))
        return SetFlag(*flagSwitch, value);
    std::optional<std::string> kept = AcceptedValue(m_codec, *setting, value);
    if (!kept)
        return false;
    const std::vector<std::string> switched = SwitchedFlags(Settings(), name);
    if (!switched.empty())
        kept = AcceptedValue(m_codec, *setting,
                             KeepSwitchedFlags(CurrentValue(*setting), *kept, value, switched));
    if (!kept)
        return false;
    Store(name, *kept);
    return true;
}

bool CompressorFilter::SetFlag(const FlagSwitch& flagSwitch, const std::string& value)
{
    const EncoderSetting* flagsRow = SettingNamed(flagSwitch.option);
    if (flagsRow == nullptr || (value != "0" && value != "1"))
        return false;
    const std::optional<std::string> kept = AcceptedValue(
        m_codec, *flagsRow, WithFlag(CurrentValue(*flagsRow), flagSwitch.flag, value == "1"));
    if (!kept)
        return false;
    Store(flagSwitch.option, *kept);
    return true;
}

std::string CompressorFilter::CurrentValue(const EncoderSetting& setting) const
{
    const std::string value = Option(setting.name);
    return value.empty() ? setting.defaultValue : value;
}

void CompressorFilter::Store(const std::string& name, const std::string& value)
{
    std::lock_guard lock(m_mutex);
    auto existing = std::find_if(m_values.begin(), m_values.end(),
                                 [&](const auto& option) { return option.first == name; });
    if (existing != m_values.end())
        existing->second = value;
    else
        m_values.emplace_back(name, value);
}

void CompressorFilter::KeepOptions() const
{
    KeptConfigurations::Instance().Keep(m_codec, Options());
}

std::shared_ptr<ISpecifyPropertyPages> CompressorFilter::QueryPropertyPages()
{
    if (Settings().empty())
        return nullptr;
    return std::make_shared<PropertyPages>(shared_from_this());
}

std::shared_ptr<ICodecDialog> CompressorFilter::QueryCodecDialog()
{
    std::vector<std::string> presets = PresetNames(m_codec);
    if (presets.empty())
        return nullptr;
    return std::make_shared<PresetDialog>(shared_from_this(), std::move(presets));
}

} // namespace calvex::media::ffmpeg
