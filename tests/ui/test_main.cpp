// SPDX-License-Identifier: GPL-2.0-or-later
// Runs the window tests inside a wx application on the display given by
// DISPLAY (the test command provides a virtual one).
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/init.h>

namespace {

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
