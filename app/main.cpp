// The window program's entry point.
#include "app/app.h"

wxIMPLEMENT_APP(calvex::app::CCalvexApp);
