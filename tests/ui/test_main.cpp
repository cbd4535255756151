// SPDX-License-Identifier: GPL-2.0-or-later
// Runs the window tests inside a wx application on the display given by
// DISPLAY (the test command provides a virtual one).
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/init.h>

#include <glib.h>

namespace {

// GTK, GDK and GObject report a misused widget as a critical message: it
// fails the test during which it came (and is still printed).
void FailOnCriticalMessage(const gchar* domain, GLogLevelFlags level, const gchar* message,
                           gpointer)
{
    g_log_default_handler(domain, level, message, nullptr);
    ADD_FAILURE() << domain << " critical message: " << message;
}

class WindowTestApp : public wxApp {
public:
    bool OnInit() override
    {
        SetAppName("calvex");
        // Tests destroy windows and go on; the app does not end with them.
        SetExitOnFrameDelete(false);
        return true;
    }
};

} // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    // Listing the tests (at build time) needs no display.
    if (testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();

    wxApp::SetInstance(new WindowTestApp);
    if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit()) {
        fprintf(stderr, "cannot start the window tests: no display?\n");
        return 1;
    }
    for (const char* domain : {"Gtk", "Gdk", "GLib-GObject"})
        g_log_set_handler(domain, G_LOG_LEVEL_CRITICAL, FailOnCriticalMessage, nullptr);
    int result = 0;
    {
        wxGUIEventLoop loop;
        wxEventLoopActivator activate(&loop);
        result = RUN_ALL_TESTS();
    }
    wxTheApp->OnExit();
    wxEntryCleanup();
    return result;
}
