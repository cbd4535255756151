// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/command_line.h"

#include <algorithm>
#include <cctype>

namespace calvex::app {
namespace {

bool EqualsIgnoringCase(const std::string& text, const char* word)
{
    const std::string other(word);
    return std::equal(
        text.begin(), text.end(), other.begin(), other.end(),
        [](unsigned char a, unsigned char b) { return std::tolower(a) == std::tolower(b); });
}

bool IsSwitch(const std::string& argument)
{
    return !argument.empty() && (argument[0] == '/' || argument[0] == '-');
}

// One switch without its leading "/" or "-". The shell's own switches are
// case sensitive, those of automation and registration are not.
void ParseSwitch(const std::string& flag, CommandLineInfo& info)
{
    if (flag == "pt")
        info.m_nShellCommand = ShellCommand::FilePrintTo;
    else if (flag == "p")
        info.m_nShellCommand = ShellCommand::FilePrint;
    else if (EqualsIgnoringCase(flag, "Register") || EqualsIgnoringCase(flag, "Regserver"))
        info.m_nShellCommand = ShellCommand::AppRegister;
    else if (EqualsIgnoringCase(flag, "Unregister") || EqualsIgnoringCase(flag, "Unregserver"))
        info.m_nShellCommand = ShellCommand::AppUnregister;
    else if (flag == "dde")
        info.m_nShellCommand = ShellCommand::FileDDE;
    else if (EqualsIgnoringCase(flag, "Embedding"))
        info.m_bRunEmbedded = true;
    else if (EqualsIgnoringCase(flag, "Automation"))
        info.m_bRunAutomated = true;
}

} // namespace

CommandLineInfo ParseCommandLine(const std::vector<std::string>& arguments)
{
    CommandLineInfo info;
    for (const std::string& argument : arguments) {
        if (IsSwitch(argument))
            ParseSwitch(argument.substr(1), info);
        else if (info.m_strFileName.empty())
            info.m_strFileName = argument;
    }
    // A file name with no shell switch asks to open that file.
    if (info.m_nShellCommand == ShellCommand::FileNew && !info.m_strFileName.empty())
        info.m_nShellCommand = ShellCommand::FileOpen;
    return info;
}

StartMode ChooseStartMode(const CommandLineInfo& info)
{
    if (info.m_bRunEmbedded || info.m_bRunAutomated)
        return StartMode::Server;
    if (info.m_nShellCommand == ShellCommand::AppUnregister)
        return StartMode::Unregister;
    if (info.m_nShellCommand == ShellCommand::AppRegister)
        return StartMode::Register;
    return StartMode::Plain;
}

} // namespace calvex::app
