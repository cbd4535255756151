#include "ui/setting_rows.h"

#include <charconv>
#include <climits>
#include <cmath>

#include <wx/propgrid/advprops.h>
#include <wx/propgrid/propgrid.h>
#include <wx/propgrid/props.h>

namespace calvex::ui {

namespace {

using media::EncoderSetting;
using media::SettingType;

template <class Number> bool ParseNumber(const std::string& text, Number& number)
{
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, number);
    return error == std::errc() && stop == end;
}

// The current value, else the default, else zero.
template <class Number> Number InitialNumber(const EncoderSetting& setting)
{
    Number number{};
    if (ParseNumber(setting.currentValue, number) || ParseNumber(setting.defaultValue, number))
        return number;
    return Number{};
}

std::string InitialText(const EncoderSetting& setting)
{
    return setting.currentValue.empty() ? setting.defaultValue : setting.currentValue;
}

bool HasRange(const EncoderSetting& setting)
{
    return setting.minimum < setting.maximum;
}

long ToLong(double value)
{
    if (value <= static_cast<double>(LONG_MIN))
        return LONG_MIN;
    if (value >= static_cast<double>(LONG_MAX))
        return LONG_MAX;
    return static_cast<long>(std::llround(value));
}

wxPGProperty* MakeIntegerRow(const EncoderSetting& setting, const wxString& label)
{
    auto* row = new wxIntProperty(label, wxPG_LABEL, InitialNumber<long>(setting));
    if (HasRange(setting)) {
        row->SetAttribute(wxPG_ATTR_MIN, ToLong(setting.minimum));
        row->SetAttribute(wxPG_ATTR_MAX, ToLong(setting.maximum));
    }
    return row;
}

wxPGProperty* MakeRealRow(const EncoderSetting& setting, const wxString& label)
{
    auto* row = new wxFloatProperty(label, wxPG_LABEL, InitialNumber<double>(setting));
    if (HasRange(setting)) {
        row->SetAttribute(wxPG_ATTR_MIN, setting.minimum);
        row->SetAttribute(wxPG_ATTR_MAX, setting.maximum);
    }
    return row;
}

wxPGProperty* MakeBooleanRow(const EncoderSetting& setting, const wxString& label)
{
    auto* row = new wxBoolProperty(label, wxPG_LABEL, InitialText(setting) == "1");
    row->SetAttribute(wxPG_BOOL_USE_CHECKBOX, true);
    return row;
}

wxPGProperty* MakeChoiceRow(const EncoderSetting& setting, const wxString& label)
{
    wxPGChoices choices;
    int initial = 0;
    const std::string current = InitialText(setting);
    for (size_t i = 0; i < setting.choices.size(); ++i) {
        choices.Add(wxString::FromUTF8(setting.choices[i].name), static_cast<int>(i));
        if (setting.choices[i].value == current)
            initial = static_cast<int>(i);
    }
    return new wxEnumProperty(label, wxPG_LABEL, choices, initial);
}

std::string FormatReal(double value)
{
    char text[64];
    const auto [end, error] = std::to_chars(text, text + sizeof text, value);
    return error == std::errc() ? std::string(text, end) : std::string();
}

} // namespace

wxPGProperty* MakeSettingRow(const EncoderSetting& setting)
{
    const wxString label = wxString::FromUTF8(setting.name);
    wxPGProperty* row = nullptr;
    switch (setting.type) {
    case SettingType::Integer:
        row = MakeIntegerRow(setting, label);
        break;
    case SettingType::Real:
        row = MakeRealRow(setting, label);
        break;
    case SettingType::Boolean:
        row = MakeBooleanRow(setting, label);
        break;
    case SettingType::Choice:
        row = MakeChoiceRow(setting, label);
        break;
    case SettingType::Text:
        row = new wxStringProperty(label, wxPG_LABEL, wxString::FromUTF8(InitialText(setting)));
        break;
    }
    row->SetHelpString(wxString::FromUTF8(setting.help));
    return row;
}

std::string SettingValueOf(const EncoderSetting& setting, const wxPGProperty& row)
{
    const wxVariant value = row.GetValue();
    switch (setting.type) {
    case SettingType::Integer:
        return std::to_string(value.GetLong());
    case SettingType::Real:
        return FormatReal(value.GetDouble());
    case SettingType::Boolean:
        return value.GetBool() ? "1" : "0";
    case SettingType::Choice: {
        const long index = value.GetLong();
        if (index < 0 || index >= static_cast<long>(setting.choices.size()))
            return InitialText(setting);
        return setting.choices[static_cast<size_t>(index)].value;
    }
    case SettingType::Text:
        return value.GetString().utf8_string();
    }
    return std::string();
}

} // namespace calvex::ui
