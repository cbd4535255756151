// SPDX-License-Identifier: GPL-2.0-or-later
#include "media/ffmpeg/flag_switches.h"

#include <algorithm>

namespace calvex::media::ffmpeg {
namespace {

constexpr char kSeparator = ':';

// The names in a flags value, without their + or - signs.
std::vector<std::string> NamesIn(const std::string& flags)
{
    std::vector<std::string> names;
    std::string name;
    for (const char c : flags + "+") {
        if (c != '+' && c != '-') {
            name += c;
            continue;
        }
        if (!name.empty() && name != "0")
            names.push_back(name);
        name.clear();
    }
    return names;
}

bool Contains(const std::vector<std::string>& names, const std::string& name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

std::string Joined(const std::vector<std::string>& names)
{
    std::string flags;
    for (const std::string& name : names)
        flags += (flags.empty() ? "" : "+") + name;
    return flags.empty() ? "0" : flags;
}

} // namespace

std::optional<FlagSwitch> FlagSwitchOf(const std::string& key)
{
    const size_t separator = key.find(kSeparator);
    if (separator == std::string::npos || separator == 0 || separator + 1 == key.size())
        return std::nullopt;
    return FlagSwitch{key.substr(0, separator), key.substr(separator + 1)};
}

bool HasFlag(const std::string& flags, const std::string& flag)
{
    return Contains(NamesIn(flags), flag);
}

std::string WithFlag(const std::string& flags, const std::string& flag, bool on)
{
    std::vector<std::string> names = NamesIn(flags);
    names.erase(std::remove(names.begin(), names.end(), flag), names.end());
    if (on)
        names.push_back(flag);
    return Joined(names);
}

std::optional<EncoderSetting> SplitFlag(EncoderSetting& flagsRow, const std::string& flag)
{
    const auto choice = std::find_if(flagsRow.choices.begin(), flagsRow.choices.end(),
                                     [&](const SettingChoice& c) { return c.value == flag; });
    if (flagsRow.type != SettingType::Flags || choice == flagsRow.choices.end())
        return std::nullopt;
    EncoderSetting row;
    row.name = flagsRow.name + kSeparator + flag;
    row.label = choice->name;
    row.help = choice->help;
    row.group = SettingGroup::Encoder;
    row.type = SettingType::Boolean;
    row.defaultValue = std::string(1, HasFlag(flagsRow.defaultValue, flag) ? '1' : '0');
    row.currentValue = row.defaultValue;
    flagsRow.choices.erase(choice);
    return row;
}

std::vector<std::string> SwitchedFlags(const std::vector<EncoderSetting>& settings,
                                       const std::string& option)
{
    std::vector<std::string> flags;
    for (const EncoderSetting& setting : settings)
        if (const std::optional<FlagSwitch> flagSwitch = FlagSwitchOf(setting.name))
            if (flagSwitch->option == option)
                flags.push_back(flagSwitch->flag);
    return flags;
}

std::string KeepSwitchedFlags(const std::string& current, const std::string& kept,
                              const std::string& given, const std::vector<std::string>& switched)
{
    std::vector<std::string> names = NamesIn(kept);
    const std::vector<std::string> named = NamesIn(given);
    for (const std::string& flag : switched)
        if (HasFlag(current, flag) && !Contains(named, flag) && !Contains(names, flag))
            names.push_back(flag);
    return Joined(names);
}

} // namespace calvex::media::ffmpeg
