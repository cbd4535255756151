// SPDX-License-Identifier: GPL-2.0-or-later
// The window program's entry point.
#include <cstdio>
#include <cstring>

#include "app/app.h"
#include "app/command_line.h"
#include "app/registration.h"
#include "res/strings.h"

wxIMPLEMENT_APP_NO_MAIN(calvex::app::CCalvexApp);

// Registering and unregistering show no window, so they run before the
// toolkit starts: they then work without a display too (an install script).
int main(int argc, char** argv)
{
    using namespace calvex::app;
    // The version, for scripts and packagers: no window, no registration.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("calvex %s\n", calvex::strings::kVersion);
        return 0;
    }
    const StartMode mode = ChooseStartMode(ParseCommandLine({argv + 1, argv + argc}));
    if (RunWindowlessStart(mode == StartMode::Register, mode == StartMode::Unregister))
        return 0;
    return wxEntry(argc, argv);
}
