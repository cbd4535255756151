// SPDX-License-Identifier: GPL-2.0-or-later
// The framework's command line: the switches for automation, embedding,
// registration and unregistration, read the way the framework reads them,
// and the start-up mode they select.
#pragma once

#include <string>
#include <vector>

namespace calvex::app {

// What the shell asked for; the values are the framework's.
enum class ShellCommand {
    FileNew = 0,
    FileOpen = 1,
    FilePrint = 2,
    FilePrintTo = 3,
    FileDDE = 4,
    AppRegister = 5,
    AppUnregister = 6,
};

// The fields of the command line that start-up looks at.
struct CommandLineInfo {
    bool m_bRunEmbedded = false;
    bool m_bRunAutomated = false;
    ShellCommand m_nShellCommand = ShellCommand::FileNew;
    std::string m_strFileName; // the first plain argument; start-up ignores it
};

// Reads the arguments after the program name. An argument starting with
// "/" or "-" is a switch; "Embedding", "Automation", "Register",
// "Regserver", "Unregister" and "Unregserver" are matched without regard
// to letter case, the shell's print switches "p", "pt" and "dde" exactly.
// A later shell switch replaces an earlier one. Anything else is ignored.
CommandLineInfo ParseCommandLine(const std::vector<std::string>& arguments);

// The four ways a start can go, in the order start-up tests them.
enum class StartMode {
    Server,     // offer the class factory on the session bus, then run the window
    Unregister, // remove the registration, no window
    Register,   // write the registration, no window
    Plain,      // write the registration, then run the window
};

StartMode ChooseStartMode(const CommandLineInfo& info);

} // namespace calvex::app
