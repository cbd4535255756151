// Property-grid rows for encoder settings, and their values as the encoder
// takes them.
#pragma once

#include <string>

#include "media/encoder_settings.h"

class wxPGProperty;

namespace calvex::ui {

// A new row for setting: integer and real rows carry the setting's range,
// choice rows its named values; the row starts at the current value.
wxPGProperty* MakeSettingRow(const media::EncoderSetting& setting);

// The row's value in the form the encoder's SetValue takes.
std::string SettingValueOf(const media::EncoderSetting& setting, const wxPGProperty& row);

} // namespace calvex::ui
