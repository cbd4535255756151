// Start-up in server mode without a reachable session bus, run in this
// process so that the message box it shows can be read: a modal-dialog hook
// answers the box instead of the user.
#include "app/app.h"
#include "app/registration.h"
#include "res/strings.h"

#include <gtest/gtest.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace calvex::app {
namespace {
namespace fs = std::filesystem;

struct ShownMessage {
    wxString text;
    wxString caption;
    long style;
};

class MessageBoxAnswerer : public wxModalDialogHook {
public:
    std::vector<ShownMessage> shown;

protected:
    int Enter(wxDialog* dialog) override
    {
        auto* box = dynamic_cast<wxMessageDialog*>(dialog);
        if (!box)
            return wxID_NONE;
        shown.push_back({box->GetMessage(), box->GetTitle(), box->GetMessageDialogStyle()});
        return wxID_OK;
    }
    void Exit(wxDialog*) override {}
};

TEST(StartUpWithoutBus, ServerModeShowsString100ThenEndsWithoutWindowOrRegistration)
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
    ASSERT_EQ(answerer.shown.size(), 1u);
    EXPECT_EQ(answerer.shown[0].text, strings::kOleInitFailed);
    EXPECT_EQ(answerer.shown[0].text, "OLE initialization failed.  Make sure that the OLE "
                                      "libraries are the correct version.");
    EXPECT_EQ(answerer.shown[0].caption, "calvex");
    EXPECT_EQ(answerer.shown[0].style & (wxOK | wxCANCEL | wxYES_NO), wxOK);
    EXPECT_TRUE(wxTopLevelWindows.empty());
    EXPECT_EQ(application->OnRun(), 0); // returns at once: there is no window to run

    application->OnExit();
    answerer.Unregister();
    wxEntryCleanup();
    const RegistrationFiles files = RegistrationFilesUnder(dataHome);
    EXPECT_FALSE(fs::exists(files.serviceFile));
    EXPECT_FALSE(fs::exists(files.interfaceFile));
    fs::remove_all(dataHome);
}

} // namespace
} // namespace calvex::app
