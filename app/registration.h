// SPDX-License-Identifier: GPL-2.0-or-later
// The program's automation registration in the user's data folder: the
// D-Bus service file that lets the session bus start the program for a
// client, and the interface description of its type library.
#pragma once

#include <filesystem>
#include <string>

namespace calvex::app {

struct RegistrationFiles {
    std::filesystem::path serviceFile;   // dbus-1/services/Calvex.Application.service
    std::filesystem::path interfaceFile; // dbus-1/interfaces/Calvex.ICalvex.xml
};

// $XDG_DATA_HOME when it is set to an absolute path, else ~/.local/share.
std::filesystem::path UserDataHome();

RegistrationFiles RegistrationFilesUnder(const std::filesystem::path& dataHome);

// The absolute path of the running program.
std::filesystem::path RunningProgramPath();

// The service file's text: the bus name, the command the bus runs (program
// with the automation switch) and the class identifier it serves.
std::string ServiceFileText(const std::filesystem::path& program);

// True when xml is an interface description of version 1.0, locale 0 of
// LIBID_Calvex.
bool IsCalvexTypeLibrary1_0(const std::string& xml);

// Writes both files; false when either could not be written.
bool RegisterServer(const std::filesystem::path& program, const std::filesystem::path& dataHome);

// Removes the service file, and the interface file when it is version 1.0,
// locale 0 of LIBID_Calvex; false when a file stayed that should have gone.
bool UnregisterServer(const std::filesystem::path& dataHome);

// Does what a start without a window is for ("/Register": register;
// "/Unregister": unregister), silently. False for any other start.
bool RunWindowlessStart(bool registerServer, bool unregisterServer);

} // namespace calvex::app
