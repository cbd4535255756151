// SPDX-License-Identifier: GPL-2.0-or-later
// Switch rows for single flags of a flags option: a user looks for "Quarter-
// pixel motion", not for the qpel box inside "Codec flags". Such a row's key
// is "OPTION:FLAG" (flags:qpel); its value, 0 or 1, is stored as that flag
// in the option's own value, so the encoder opens exactly as with the flag
// set in the flags row, and `flags=qpel` still sets it.
#pragma once

#include "media/encoder_settings.h"

#include <optional>
#include <string>
#include <vector>

namespace calvex::media::ffmpeg {

struct FlagSwitch {
    std::string option; // the flags option ("flags", "mpv_flags")
    std::string flag;   // one of its named flags ("qpel")
};

// The flag a key stands for, or nothing when the key is an ordinary option's.
std::optional<FlagSwitch> FlagSwitchOf(const std::string& key);

// Flags in the program's form: names joined by '+', "0" for none.
bool HasFlag(const std::string& flags, const std::string& flag);
std::string WithFlag(const std::string& flags, const std::string& flag, bool on);

// Takes flag out of the flags row and returns the switch row that stands for
// it (in the encoder's group, at the flag's default); nothing when the row
// offers no such flag.
std::optional<EncoderSetting> SplitFlag(EncoderSetting& flagsRow, const std::string& flag);

// The flags of option that have switch rows among settings.
std::vector<std::string> SwitchedFlags(const std::vector<EncoderSetting>& settings,
                                       const std::string& option);

// The flags a value given to the flags row sets: kept (the value as the
// encoder keeps it) plus the switched flags on in current that given does
// not name. The row no longer shows switched flags, so a value from it
// leaves them as their switches set them; `flags=qpel` still sets qpel.
std::string KeepSwitchedFlags(const std::string& current, const std::string& kept,
                              const std::string& given, const std::vector<std::string>& switched);

} // namespace calvex::media::ffmpeg
