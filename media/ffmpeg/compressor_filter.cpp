#include "media/ffmpeg/compressor_filter.h"

#include "media/encoder_settings.h"
#include "media/ffmpeg/encoder_options.h"

#include <algorithm>

namespace calvex::media::ffmpeg {
namespace {

class PropertyPages : public ISpecifyPropertyPages {
public:
    PropertyPages(std::shared_ptr<CompressorFilter> filter, std::vector<EncoderSetting> settings)
        : m_filter(std::move(filter)), m_settings(std::move(settings))
    {
    }

    std::vector<EncoderSetting> GetPages() const override
    {
        std::vector<EncoderSetting> pages = m_settings;
        for (EncoderSetting& setting : pages) {
            const std::string value = m_filter->Option(setting.name);
            if (!value.empty())
                setting.currentValue = value;
        }
        return pages;
    }

    bool SetValue(const std::string& name, const std::string& value) override
    {
        const bool known = std::any_of(m_settings.begin(), m_settings.end(),
                                       [&](const EncoderSetting& s) { return s.name == name; });
        return known && m_filter->SetOption(name, value);
    }

private:
    std::shared_ptr<CompressorFilter> m_filter;
    std::vector<EncoderSetting> m_settings;
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

OptionValues CompressorFilter::Options() const
{
    std::lock_guard lock(m_mutex);
    return m_values;
}

std::string CompressorFilter::Option(const std::string& name) const
{
    std::lock_guard lock(m_mutex);
    for (const auto& [key, value] : m_values)
        if (key == name)
            return value;
    return {};
}

bool CompressorFilter::SetOption(const std::string& name, const std::string& value)
{
    if (!AcceptsOptionValue(m_codec, name, value))
        return false;
    std::lock_guard lock(m_mutex);
    auto existing = std::find_if(m_values.begin(), m_values.end(),
                                 [&](const auto& option) { return option.first == name; });
    if (existing != m_values.end())
        existing->second = value;
    else
        m_values.emplace_back(name, value);
    return true;
}

std::shared_ptr<ISpecifyPropertyPages> CompressorFilter::QueryPropertyPages()
{
    std::vector<EncoderSetting> settings = DescribeEncoderOptions(m_codec);
    if (settings.empty())
        return nullptr;
    return std::make_shared<PropertyPages>(shared_from_this(), std::move(settings));
}

std::shared_ptr<ICodecDialog> CompressorFilter::QueryCodecDialog()
{
    std::vector<std::string> presets = PresetNames(m_codec);
    if (presets.empty())
        return nullptr;
    return std::make_shared<PresetDialog>(shared_from_this(), std::move(presets));
}

} // namespace calvex::media::ffmpeg
