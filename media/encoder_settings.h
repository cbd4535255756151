// What a compressor offers to configure, described without any toolkit:
// the window draws these as a property sheet or a preset list.
#pragma once

#include <string>
#include <vector>

namespace calvex::media {

enum class SettingType {
    Integer, // whole number within [minimum, maximum]
    Real,    // decimal number within [minimum, maximum]
    Boolean, // "0" or "1"
    Text,    // free text
    Choice,  // one of `choices` (by value)
};

struct SettingChoice {
    std::string name;  // shown to the user
    std::string help;  // may be empty
    std::string value; // what SetValue takes
};

struct EncoderSetting {
    std::string name; // the option's name; also the key for SetValue
    std::string help; // one line of explanation; may be empty
    SettingType type = SettingType::Text;
    double minimum = 0;
    double maximum = 0;
    std::vector<SettingChoice> choices;
    std::string defaultValue;
    std::string currentValue;
};

// The property pages of a filter: its settings, applied to that filter
// instance when its graph runs.
class ISpecifyPropertyPages {
public:
    virtual ~ISpecifyPropertyPages() = default;
    virtual std::vector<EncoderSetting> GetPages() const = 0;
    // False (and nothing changed) when the value is refused.
    virtual bool SetValue(const std::string& name, const std::string& value) = 0;
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
