// SPDX-License-Identifier: GPL-2.0-or-later
// What a compressor offers to configure, described without any toolkit:
// the window draws these as a property sheet or a preset list.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace calvex::media {

enum class SettingType {
    Integer, // whole number within [minimum, maximum]
    Real,    // decimal number within [minimum, maximum]
    Boolean, // "0" or "1"
    Text,    // free text
    Choice,  // one of `choices` (by value)
    Flags,   // any set of `choices`: their values joined by '+', or "0" for none
};

// Where a setting belongs: the rate and quality controls every encoder of a
// kind shares, the encoder's own options, or the general codec options.
enum class SettingGroup { QualityAndRate, Encoder, General };

// Which end of a setting's range gives the better picture or sound.
enum class BetterEnd { None, Lower, Higher };

struct SettingChoice {
    std::string name;  // shown to the user
    std::string help;  // may be empty
    std::string value; // what SetValue takes
};

struct EncoderSetting {
    std::string name;  // the key SetValue (and calvex-convert's --video-option) takes
    std::string label; // plain words for the user
    std::string help;  // one line or two of explanation; may be empty
    SettingGroup group = SettingGroup::Encoder;
    SettingType type = SettingType::Text;
    double minimum = 0; // of the value SetValue takes; no range when minimum >= maximum
    double maximum = 0;
    std::string unit;     // of the value as shown ("kbit/s", "frames"); may be empty
    double unitScale = 1; // the shown value times unitScale is the value SetValue takes
    BetterEnd better = BetterEnd::None;
    std::vector<SettingChoice> choices;
    std::string defaultValue; // what a new instance starts from
    std::string currentValue;
};

// A setting that takes one of choices, starting at defaultValue.
inline EncoderSetting ChoiceSetting(std::string name, std::string label, std::string help,
                                    SettingGroup group, std::vector<SettingChoice> choices,
                                    std::string defaultValue)
{
    EncoderSetting setting;
    setting.name = std::move(name);
    setting.label = std::move(label);
    setting.help = std::move(help);
    setting.group = group;
    setting.type = SettingType::Choice;
    setting.choices = std::move(choices);
    setting.defaultValue = std::move(defaultValue);
    setting.currentValue = setting.defaultValue;
    return setting;
}

// The property pages of a filter: its settings, applied to that filter
// instance when its graph runs.
class ISpecifyPropertyPages {
public:
    virtual ~ISpecifyPropertyPages() = default;
    virtual std::vector<EncoderSetting> GetPages() const = 0;
    // Sets one setting as given, also a value equal to its default; false
    // (and nothing changed) when the value is refused.
    virtual bool SetValue(const std::string& name, const std::string& value) = 0;
    // Keeps the values set so far as the encoder's configuration: its next
    // instances in this process start from them, as an installed codec keeps
    // what its dialog accepted.
    virtual void KeepSettings() = 0;
    // Where a file made with this encoder plays, in one line; empty when unknown.
    virtual std::string WherePlays() const { return {}; }
};

// The codec's own configuration: a choice among its named presets.
class ICodecDialog {
public:
    virtual ~ICodecDialog() = default;
    virtual std::string Title() const = 0;
    virtual std::vector<std::string> Presets() const = 0;
    virtual std::string CurrentPreset() const = 0;
    virtual bool ChoosePreset(const std::string& preset) = 0;
};

} // namespace calvex::media
