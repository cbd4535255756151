// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/setting_rows.h"

#include <charconv>
#include <climits>
#include <cmath>

#include <wx/propgrid/advprops.h>
#include <wx/propgrid/propgrid.h>
#include <wx/propgrid/props.h>

#include "res/strings.h"

namespace calvex::ui {

namespace {

using media::EncoderSetting;
using media::SettingType;

// Ranges beyond this are FFmpeg's "any number" and are not worth showing.
constexpr double kShownRangeLimit = 1e9;

bool ParseNumber(const std::string& text, double& number)
{
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, number);
    return !text.empty() && error == std::errc() && stop == end;
}

std::string FormatNumber(double value)
{
    // Whole numbers in digits, not as 1e+06.
    if (std::abs(value) < 1e15 && value == std::round(value))
        return std::to_string(std::llround(value));
    char text[64];
    const auto [end, error] = std::to_chars(text, text + sizeof text, value);
    return error == std::errc() ? std::string(text, end) : std::string();
}

long ToLong(double value)
{
    if (value <= static_cast<double>(LONG_MIN))
        return LONG_MIN;
    if (value >= static_cast<double>(LONG_MAX))
        return LONG_MAX;
    return static_cast<long>(std::llround(value));
}

bool HasRange(const EncoderSetting& setting)
{
    return setting.minimum < setting.maximum;
}

double Shown(const EncoderSetting& setting, double value)
{
    return value / setting.unitScale;
}

// The flags of a Flags row, one bit per choice in the order of the choices.
long FlagBits(const EncoderSetting& setting, const std::string& names)
{
    long bits = 0;
    size_t start = 0;
    while (start <= names.size()) {
        const size_t end = std::min(names.find('+', start), names.size());
        const std::string name = names.substr(start, end - start);
        for (size_t i = 0; i < setting.choices.size(); ++i)
            if (setting.choices[i].value == name)
                bits |= 1L << i;
        start = end + 1;
    }
    return bits;
}

std::string FlagNames(const EncoderSetting& setting, long bits)
{
    std::string names;
    for (size_t i = 0; i < setting.choices.size(); ++i)
        if (bits & (1L << i))
            names += (names.empty() ? "" : "+") + setting.choices[i].value;
    return names.empty() ? "0" : names;
}

int ChoiceIndex(const EncoderSetting& setting, const std::string& value)
{
    for (size_t i = 0; i < setting.choices.size(); ++i)
        if (setting.choices[i].value == value)
            return static_cast<int>(i);
    return 0;
}

wxPGProperty* MakeNumberRow(const EncoderSetting& setting, const wxString& label,
                            const wxString& name)
{
    wxPGProperty* row = nullptr;
    if (setting.type == SettingType::Integer)
        row = new wxIntProperty(label, name);
    else
        row = new wxFloatProperty(label, name);
    if (HasRange(setting)) {
        const double minimum = Shown(setting, setting.minimum);
        const double maximum = Shown(setting, setting.maximum);
        row->SetAttribute(wxPG_ATTR_MIN, setting.type == SettingType::Integer
                                             ? wxVariant(ToLong(minimum))
                                             : wxVariant(minimum));
        row->SetAttribute(wxPG_ATTR_MAX, setting.type == SettingType::Integer
                                             ? wxVariant(ToLong(maximum))
                                             : wxVariant(maximum));
    }
    return row;
}

wxPGProperty* MakeChoiceRow(const EncoderSetting& setting, const wxString& label,
                            const wxString& name)
{
    wxPGChoices choices;
    for (size_t i = 0; i < setting.choices.size(); ++i)
        choices.Add(wxString::FromUTF8(setting.choices[i].name), static_cast<int>(i));
    return new wxEnumProperty(label, name, choices);
}

wxPGProperty* MakeFlagsRow(const EncoderSetting& setting, const wxString& label,
                           const wxString& name)
{
    wxPGChoices flags;
    for (size_t i = 0; i < setting.choices.size(); ++i)
        flags.Add(wxString::FromUTF8(setting.choices[i].name), 1L << i);
    auto* row = new wxFlagsProperty(label, name, flags);
    row->SetAttribute(wxPG_BOOL_USE_CHECKBOX, true);
    return row;
}

wxString Label(const EncoderSetting& setting)
{
    wxString label = wxString::FromUTF8(setting.label.empty() ? setting.name : setting.label);
    if (!setting.unit.empty())
        label += " (" + wxString::FromUTF8(setting.unit) + ")";
    return label;
}

wxString ShownText(const EncoderSetting& setting, const std::string& value)
{
    if (setting.type == SettingType::Choice && !setting.choices.empty())
        return wxString::FromUTF8(setting.choices[ChoiceIndex(setting, value)].name);
    if (setting.type == SettingType::Boolean)
        return value == "1" ? strings::kSwitchOn : strings::kSwitchOff;
    double number = 0;
    if (setting.unitScale != 1 && ParseNumber(value, number))
        return wxString::FromUTF8(FormatNumber(Shown(setting, number)));
    return wxString::FromUTF8(value.empty() ? std::string(strings::kNoValue) : value);
}

// The help line, then the default, the range and which end is better, and
// the key calvex-convert takes.
wxString HelpText(const EncoderSetting& setting)
{
    wxString help = wxString::FromUTF8(setting.help);
    help +=
        "\n" + wxString::Format(strings::kSettingDefault, ShownText(setting, setting.defaultValue));
    const bool numeric = setting.type == SettingType::Integer || setting.type == SettingType::Real;
    if (numeric && HasRange(setting) && std::abs(setting.minimum) < kShownRangeLimit &&
        std::abs(setting.maximum) < kShownRangeLimit) {
        help += " " + wxString::Format(strings::kSettingRange,
                                       FormatNumber(Shown(setting, setting.minimum)),
                                       FormatNumber(Shown(setting, setting.maximum)));
        if (setting.better == media::BetterEnd::None)
            help += ".";
        else
            help += setting.better == media::BetterEnd::Lower ? strings::kLowerIsBetter
                                                              : strings::kHigherIsBetter;
    }
    help += " " + wxString::Format(strings::kSettingKey, wxString::FromUTF8(setting.name));
    return help;
}

} // namespace

wxPGProperty* MakeSettingRow(const EncoderSetting& setting)
{
    const wxString label = Label(setting);
    const wxString name = wxString::FromUTF8(setting.name);
    wxPGProperty* row = nullptr;
    switch (setting.type) {
    case SettingType::Integer:
    case SettingType::Real:
        row = MakeNumberRow(setting, label, name);
        break;
    case SettingType::Boolean:
        row = new wxBoolProperty(label, name);
        row->SetAttribute(wxPG_BOOL_USE_CHECKBOX, true);
        break;
    case SettingType::Choice:
        row = MakeChoiceRow(setting, label, name);
        break;
    case SettingType::Flags:
        row = MakeFlagsRow(setting, label, name);
        break;
    case SettingType::Text:
        row = new wxStringProperty(label, name);
        break;
    }
    row->SetHelpString(HelpText(setting));
    ShowSettingValue(setting, *row, setting.currentValue);
    return row;
}

void ShowSettingValue(const EncoderSetting& setting, wxPGProperty& row, const std::string& value)
{
    const std::string text = value.empty() ? setting.defaultValue : value;
    double number = 0;
    switch (setting.type) {
    case SettingType::Integer:
        row.SetValue(ToLong(ParseNumber(text, number) ? Shown(setting, number) : 0));
        break;
    case SettingType::Real:
        row.SetValue(ParseNumber(text, number) ? Shown(setting, number) : 0.0);
        break;
    case SettingType::Boolean:
        row.SetValue(text == "1");
        break;
    case SettingType::Choice:
        row.SetValue(static_cast<long>(ChoiceIndex(setting, text)));
        break;
    case SettingType::Flags:
        row.SetValue(FlagBits(setting, text));
        break;
    case SettingType::Text:
        row.SetValue(wxString::FromUTF8(text));
        break;
    }
}

std::string SettingValueOf(const EncoderSetting& setting, const wxPGProperty& row)
{
    const wxVariant value = row.GetValue();
    switch (setting.type) {
    case SettingType::Integer:
        return FormatNumber(std::round(value.GetLong() * setting.unitScale));
    case SettingType::Real:
        return FormatNumber(value.GetDouble() * setting.unitScale);
    case SettingType::Boolean:
        return value.GetBool() ? "1" : "0";
    case SettingType::Choice: {
        const long index = value.GetLong();
        if (index < 0 || index >= static_cast<long>(setting.choices.size()))
            return setting.currentValue;
        return setting.choices[static_cast<size_t>(index)].value;
    }
    case SettingType::Flags:
        return FlagNames(setting, value.GetLong());
    case SettingType::Text:
        return value.GetString().utf8_string();
    }
    return std::string();
}

} // namespace calvex::ui
