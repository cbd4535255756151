// SPDX-License-Identifier: GPL-2.0-or-later
// Server mode without a reachable session bus, started in this process so
// that the message box it shows can be read: a modal-dialog hook answers the
// box in the user's place.
#include "app/app.h"
#include "app/registration.h"
#include "res/strings.h"

#include <gtest/gtest.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>

#include <cstdlib>
#include <filesystem>

namespace calvex::app {
namespace {
namespace fs = std::filesystem;

class MessageBoxAnswerer : public wxModalDialogHook {
public:
    std::vector<std::pair<wxString, long>> shown; // text and buttons of each box

protected:
    int Enter(wxDialog* dialog) override
    {
        auto* box = dynamic_cast<wxMessageDialog*>(dialog);
        if (!box)
            return wxID_NONE;
        shown.emplace_back(box->GetMessage(),
                           box->GetMessageDialogStyle() & (wxOK | wxCANCEL | wxYES_NO));
        return wxID_OK;
    }
    void Exit(wxDialog*) override {}
};

TEST(StartUpWithoutBus, ServerModeSaysSoThenEndsWithoutWindowOrRegistration)
{
    std::string dataHome = (fs::temp_directory_path() / "calvex-nobus-XXXXXX").string();
    ASSERT_NE(mkdtemp(dataHome.data()), nullptr);
    setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
    setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/calvex-test-no-bus", 1);
    auto* application = new CCalvexApp;
    wxApp::SetInstance(application);
    char program[] = "calvex";
    char automation[] = "/Automation";
    char* argv[] = {program, automation, nullptr};
    int argc = 2;
    ASSERT_TRUE(wxEntryStart(argc, argv)) << "needs an X display";
    MessageBoxAnswerer answerer;
    answerer.Register();

    EXPECT_TRUE(application->CallOnInit());
    EXPECT_EQ(answerer.shown,
              (std::vector<std::pair<wxString, long>>{{strings::kOleInitFailed, wxOK}}));
    EXPECT_TRUE(wxTopLevelWindows.empty());
    EXPECT_EQ(application->OnRun(), 0); // returns at once: there is no window to run

    application->OnExit();
    answerer.Unregister();
    wxEntryCleanup();
    EXPECT_FALSE(fs::exists(RegistrationFilesUnder(dataHome).serviceFile));
    fs::remove_all(dataHome);
}

} // namespace
} // namespace calvex::app
