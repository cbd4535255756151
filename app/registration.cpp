// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/registration.h"

#include "app/identities.h"
#include "app/type_library.h"

#include <gio/gio.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>

namespace calvex::app {
namespace fs = std::filesystem;

namespace {

// The bus splits Exec like a shell; quote a path that holds anything else
// than plain file-name characters.
std::string QuoteForExec(const std::string& text)
{
    const bool plain = text.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                              "abcdefghijklmnopqrstuvwxyz"
                                              "0123456789/._+-,:@=") == std::string::npos;
    if (plain && !text.empty())
        return text;
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

// Writes text to a file beside path and renames it over path, so that the
// bus never reads a half-written file.
bool WriteFileAtomically(const fs::path& path, const std::string& text)
{
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    if (error)
        return false;
    const fs::path partial = path.string() + ".part";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out << text;
        if (!out.flush())
            return false;
    }
    fs::rename(partial, path, error);
    if (error)
        fs::remove(partial, error);
    return !error;
}

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool HasAnnotation(GDBusNodeInfo* node, const char* name, const char* value)
{
    const gchar* found = g_dbus_annotation_info_lookup(node->annotations, name);
    return found && g_strcmp0(found, value) == 0;
}

} // namespace

fs::path UserDataHome()
{
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome && fs::path(dataHome).is_absolute())
        return dataHome;
    const char* home = std::getenv("HOME");
    return fs::path(home ? home : g_get_home_dir()) / ".local" / "share";
}

RegistrationFiles RegistrationFilesUnder(const fs::path& dataHome)
{
    const fs::path dbus = dataHome / "dbus-1";
    return {dbus / "services" / (std::string(kProgId) + ".service"),
            dbus / "interfaces" / (std::string(kICalvexInterface) + ".xml")};
}

fs::path RunningProgramPath()
{
    std::error_code error;
    fs::path program = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path() : program;
}

std::string ServiceFileText(const fs::path& program)
{
    std::ostringstream text;
    text << "[D-BUS Service]\n"
         << "Name=" << kProgId << "\n"
         << "Exec=" << QuoteForExec(program.string()) << " " << kAutomationSwitch << "\n"
         << "X-Calvex-CLSID=" << kClsidCalvex << "\n";
    return text.str();
}

bool IsCalvexTypeLibrary1_0(const std::string& xml)
{
    g_autoptr(GError) error = nullptr;
    GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(xml.c_str(), &error);
    if (!node)
        return false;
    const bool ours = HasAnnotation(node, "Calvex.TypeLibrary.LIBID", kLibidCalvex) &&
                      HasAnnotation(node, "Calvex.TypeLibrary.Version", kTypeLibraryVersion) &&
                      HasAnnotation(node, "Calvex.TypeLibrary.Locale", kTypeLibraryLocale);
    g_dbus_node_info_unref(node);
    return ours;
}

bool RegisterServer(const fs::path& program, const fs::path& dataHome)
{
    const RegistrationFiles files = RegistrationFilesUnder(dataHome);
    const bool service = WriteFileAtomically(files.serviceFile, ServiceFileText(program));
    const bool typeLibrary = WriteFileAtomically(files.interfaceFile, TypeLibraryXml());
    return service && typeLibrary;
}

bool UnregisterServer(const fs::path& dataHome)
{
    const RegistrationFiles files = RegistrationFilesUnder(dataHome);
    std::error_code error;
    fs::remove(files.serviceFile, error);
    bool removed = !error;
    if (fs::exists(files.interfaceFile, error) &&
        IsCalvexTypeLibrary1_0(ReadFile(files.interfaceFile))) {
        fs::remove(files.interfaceFile, error);
        removed = removed && !error;
    }
    return removed;
}

bool RunWindowlessStart(bool registerServer, bool unregisterServer)
{
    if (unregisterServer)
        UnregisterServer(UserDataHome());
    else if (registerServer)
        RegisterServer(RunningProgramPath(), UserDataHome());
    return registerServer || unregisterServer;
}

} // namespace calvex::app
