// SPDX-License-Identifier: GPL-2.0-or-later
// SIGTERM to the window program while a dialog is open, once during a real
// conversion: the program's start-up runs in this process, the signal is
// raised from inside the dialog's modal loop, and the program's loop must
// end; a job is aborted, its worker joined and its AVI file indexed and
// playable.
#include "app/app.h"
#include "res/strings.h"
#include "ui/main_dialog.h"
#include "ui/settings_sheet.h"
#include "ui_test_support.h"

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/filedlg.h>
#include <wx/gauge.h>
#include <wx/timer.h>
#include <wx/weakref.h>
#include <wx/xrc/xmlres.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

namespace calvex::app {
namespace {
namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

// The threads of this process, by id, with their names.
std::map<std::string, std::string> Threads()
{
    std::map<std::string, std::string> threads;
    for (const auto& task : fs::directory_iterator("/proc/self/task")) {
        std::string name = ReadFile(task.path() / "comm");
        threads[task.path().filename()] = name.substr(0, name.find('\n'));
    }
    return threads;
}

// The threads started since before, named as a job's are: the worker (which
// keeps the name of the thread that started it) and the graph's stages.
std::vector<std::string> JobThreadsStartedSince(const std::map<std::string, std::string>& before)
{
    const std::string ownName = Threads().at(std::to_string(getpid()));
    std::vector<std::string> left;
    for (const auto& [id, name] : Threads()) {
        const bool jobs =
            name == ownName || name == "graph" || name == "filter" || name.rfind("enc ", 0) == 0;
        if (jobs && !before.count(id))
            left.push_back(id + " " + name);
    }
    return left;
}

// The toolkit, started once for the process: it cannot start again after
// its clean-up.
class Toolkit : public ::testing::Environment {
public:
    void SetUp() override
    {
        // A plain start registers the program there, GTK keeps its recent files there.
        ASSERT_NE(mkdtemp(m_dataHome.data()), nullptr);
        setenv("XDG_DATA_HOME", m_dataHome.c_str(), 1);
        application = new CCalvexApp;
        wxApp::SetInstance(application);
        ASSERT_TRUE(wxEntryStart(argc, argv)) << "needs an X display";
    }
    void TearDown() override
    {
        wxEntryCleanup();
        fs::remove_all(m_dataHome);
    }

    static inline CCalvexApp* application = nullptr;

private:
    std::string m_dataHome = (fs::temp_directory_path() / "calvex-data-XXXXXX").string();
    char m_program[7] = "calvex";
    char* argv[2] = {m_program, nullptr};
    int argc = 1;
};

// The program's start, as a plain start on the FFmpeg engine.
class StopSignalTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(mkdtemp(work.data()), nullptr);
        application = Toolkit::application;
        ASSERT_TRUE(application);
        ASSERT_TRUE(application->CallOnInit());
        // After the program's own dialog hook, so that it is asked first.
        answers = std::make_unique<test::DialogAnswers>();
        window = dynamic_cast<ui::CCalvexDlg*>(application->GetTopWindow());
        ASSERT_TRUE(window);
    }

    void TearDown() override
    {
        raiser.reset();
        answers.reset();
        if (application)
            application->OnExit();
        fs::remove_all(work);
    }

    // The next dialog is shown for real, and SIGTERM comes 300 ms later.
    void RaiseSignalInNextDialog()
    {
        answers->Answer_([this](wxDialog& dialog) {
            raiser = std::make_unique<wxTimer>();
            raiser->Bind(wxEVT_TIMER, [this, open = &dialog](wxTimerEvent&) {
                dialogOpenAtSignal = open->IsModal() && open->IsShown();
                raise(SIGTERM);
            });
            raiser->StartOnce(300);
            return static_cast<int>(wxID_NONE);
        });
    }

    std::string work = (fs::temp_directory_path() / "calvex-stop-signal-XXXXXX").string();
    CCalvexApp* application = nullptr;
    std::unique_ptr<test::DialogAnswers> answers;
    wxWeakRef<ui::CCalvexDlg> window;
    std::unique_ptr<wxTimer> raiser; // made once the toolkit runs
    bool dialogOpenAtSignal = false;
};

TEST_F(StopSignalTest, DuringAJobWithTheAboutBoxOpenAbortsTheJobAndEnds)
{
    const fs::path source = fs::path(work) / "source.mp4", output = fs::path(work) / "output.avi";
    test::Shell(
        "ffmpeg -nostdin -v error -y -f lavfi -i testsrc2=duration=60:size=1280x720:rate=25 "
        "-f lavfi -i sine=duration=60 -c:v libx264 -preset ultrafast -pix_fmt yuv420p "
        "-c:a aac '" +
        source.string() + "'");
    ASSERT_TRUE(fs::exists(source));
    test::Choose(window->m_cbVideoCompressor, "MPEG-4 part 2");
    answers->ReplyFile(wxString::FromUTF8(source.string()));
    test::Click(XRCCTRL(*window, "IDC_BROWSE_SOURCE", wxButton));
    answers->ReplyFile(wxString::FromUTF8(output.string()));
    test::Click(XRCCTRL(*window, "IDC_BROWSE_OUTPUT", wxButton));
    const auto threadsBefore = Threads();
    test::Click(window->m_btnConvert);
    ASSERT_TRUE(window->IsJobRunning());
    // Once the job has made progress, the About box opens.
    RaiseSignalInNextDialog();
    wxTimer poll;
    poll.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        if (window && window->m_progress->GetValue() >= 2) {
            poll.Stop();
            window->CallAfter([this] { test::ChooseMenuCommand(window.get(), "ID_FILE_ABOUT"); });
        }
    });
    poll.Start(50);

    // The program's loop ends with status 0 and takes every window with it.
    EXPECT_EQ(application->OnRun(), 0);
    EXPECT_TRUE(!window && wxTopLevelWindows.empty());
    EXPECT_TRUE(dialogOpenAtSignal);
    EXPECT_EQ(answers->seen.size(), 3u) << "a dialog opened after the About box";
    EXPECT_EQ(answers->seen.size() > 2 ? answers->seen[2].caption : "", "About Calvex");
    EXPECT_EQ(JobThreadsStartedSince(threadsBefore), std::vector<std::string>{});
    // Indexed, shorter than the source, and it decodes without a complaint.
    const std::string avi = ReadFile(output);
    EXPECT_NE(avi.find("idx1", avi.find("movi")), std::string::npos) << "the AVI has no index";
    const std::string quoted = "'" + output.string() + "'";
    const double seconds = std::atof(
        test::Shell("ffprobe -v error -show_entries format=duration -of csv=p=0 " + quoted)
            .c_str());
    EXPECT_GT(seconds, 0.0);
    EXPECT_LT(seconds, 59.0) << "the job was not aborted";
    EXPECT_EQ(test::Shell("ffmpeg -nostdin -v error -xerror -i " + quoted + " -f null - 2>&1"), "");
}

const auto* const g_toolkit = ::testing::AddGlobalTestEnvironment(new Toolkit);

} // namespace
} // namespace calvex::app
