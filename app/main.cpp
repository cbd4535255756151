// The window program's entry point.
#include "app/app.h"
#include "app/command_line.h"
#include "app/registration.h"

wxIMPLEMENT_APP_NO_MAIN(calvex::app::CCalvexApp);

// Registering and unregistering show no window, so they run before the
// toolkit starts: they then work without a display too (an install script).
int main(int argc, char** argv)
{
    using namespace calvex::app;
    const StartMode mode = ChooseStartMode(ParseCommandLine({argv + 1, argv + argc}));
    if (RunWindowlessStart(mode == StartMode::Register, mode == StartMode::Unregister))
        return 0;
    return wxEntry(argc, argv);
}
