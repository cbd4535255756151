// SPDX-License-Identifier: GPL-2.0-or-later
// The window program's entry point.
#include <cstdio>
#include <cstring>

#include "app/app.h"
#include "app/command_line.h"
#include "app/registration.h"
#include "media/ffmpeg/ffmpeg_engine.h"
#include "res/strings.h"

wxIMPLEMENT_APP_NO_MAIN(calvex::app::CCalvexApp);

namespace {

const char* const kUsage =
    "Usage: calvex [/Register | /Unregister | /Automation | /Embedding]\n"
    "       calvex --help | --version\n"
    "\n"
    "Opens the Calvex window, which recompresses a video file into an AVI file.\n"
    "A plain start first registers Calvex for automation: it writes the D-Bus\n"
    "service file and the interface description under $XDG_DATA_HOME/dbus-1/\n"
    "(by default ~/.local/share/dbus-1/).\n"
    "\n"
    "  /Register    write that registration and end, without a window\n"
    "  /Unregister  remove it and end, without a window\n"
    "  /Automation  start for a D-Bus client: offer Calvex.Application on the\n"
    "               session bus, then open the window; no registration\n"
    "  /Embedding   the same as /Automation\n"
    "  --help       show this text\n"
    "  --version    show the version\n"
    "\n"
    "The switches may start with '-' instead of '/' and are read in any letter\n"
    "case. calvex-convert converts without a window. See calvex(1).\n";

} // namespace

// Registering and unregistering show no window, so they run before the
// toolkit starts: they then work without a display too (an install script).
int main(int argc, char** argv)
{
    using namespace calvex::app;
    // The version and the usage, for scripts and packagers: no window, no registration.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("calvex %s\n", calvex::strings::kVersion);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    const StartMode mode = ChooseStartMode(ParseCommandLine({argv + 1, argv + argc}));
    if (RunWindowlessStart(mode == StartMode::Register, mode == StartMode::Unregister))
        return 0;
    // Before the toolkit starts threads of its own.
    calvex::media::StartMediaEngine();
    return wxEntry(argc, argv);
}
