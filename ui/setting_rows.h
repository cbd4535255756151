// SPDX-License-Identifier: GPL-2.0-or-later
// Property-grid rows for encoder settings, and their values as the encoder
// takes them.
#pragma once

#include <string>

#include "media/encoder_settings.h"

class wxPGProperty;

namespace calvex::ui {

// A new row for setting, named by the setting's key: its label with the
// unit, its help with the default, range and better end; numbers in the
// unit shown (kbit/s), switches as check boxes, named values as a list,
// flags as named check boxes. The row starts at the current value.
wxPGProperty* MakeSettingRow(const media::EncoderSetting& setting);

// Shows value (a value SetValue takes; empty: the default) in the row.
void ShowSettingValue(const media::EncoderSetting& setting, wxPGProperty& row,
                      const std::string& value);

// The row's value in the form the encoder's SetValue takes.
std::string SettingValueOf(const media::EncoderSetting& setting, const wxPGProperty& row);

} // namespace calvex::ui
