// Whole jobs driven through the window on the fake engine: the control
// states of each phase, Abort, Convert right after Abort, closing during a job.
#include <wx/button.h>
#include <wx/filename.h>
#include <wx/gauge.h>
#include <wx/textctrl.h>

#include "media/catalogue.h"
#include "media/graph_slots.h"
#include "res/strings.h"
#include "window_fixture.h"

using namespace calvex;
using test::Click;

namespace {

struct ButtonStates {
    bool convert, abort, quit, videoProperties, audioProperties;
    bool operator==(const ButtonStates&) const = default;
};

std::ostream& operator<<(std::ostream& out, const ButtonStates& s)
{
    return out << "convert " << s.convert << ", abort " << s.abort << ", quit " << s.quit
               << ", video properties " << s.videoProperties << ", audio properties "
               << s.audioProperties;
}

ButtonStates StatesOf(const ui::CCalvexDlg& dlg)
{
    return {dlg.m_btnConvert->IsEnabled(), dlg.m_btnAbort->IsEnabled(), dlg.m_btnQuit->IsEnabled(),
            dlg.m_btnVideoProperties->IsEnabled(), dlg.m_btnAudioProperties->IsEnabled()};
}

constexpr ButtonStates kIdle{true, false, true, true, true};
constexpr ButtonStates kRunning{false, true, false, false, false};
constexpr ButtonStates kAborted{true, false, false, true, true};

class JobFlowTest : public test::WindowTest {
protected:
    ui::CCalvexDlg& OpenWithPaths()
    {
        ui::CCalvexDlg& dlg = Open();
        output = wxFileName::GetTempDir() + "/calvex-ui-job-out.avi";
        SetPaths("/clips/source clip.mp4", output);
        // The progress bar as each box of the job appears.
        answers.onEnter = [&dlg](wxDialog&, test::DialogAnswers::Seen& seen) {
            seen.gaugeValue = dlg.m_progress->GetValue();
        };
        return dlg;
    }

    // A job that runs until it is stopped.
    void PrepareEndlessJob()
    {
        test::GraphScript script;
        script.blockUntilStopped = true;
        engine->PrepareJob(script);
    }

    // Convert, then wait until the worker has built the graph.
    void ConvertUntilGraphBuilt(ui::CCalvexDlg& dlg)
    {
        Click(dlg.m_btnConvert);
        ASSERT_TRUE(test::PumpUntil([] { return media::g_pMediaControl.IsFilled(); }));
    }

    wxString output;
};

TEST_F(JobFlowTest, CompletedJobShowsEachPhaseAndTheOutcome)
{
    ui::CCalvexDlg& dlg = OpenWithPaths();
    test::GraphScript script;
    script.ticks = 2;
    script.endCode = 1;
    auto builder = engine->PrepareJob(script);
    auto seeking = std::static_pointer_cast<test::FakeSeeking>(builder->mux->seeking);
    seeking->duration = 1000;
    seeking->positions = {250, 500};
    answers.Reply(wxID_OK);

    Click(dlg.m_btnConvert);
    EXPECT_EQ(StatesOf(dlg), kRunning);
    EXPECT_EQ(dlg.m_strStatus, strings::kStatusStarted);
    EXPECT_EQ(dlg.m_editStatus->GetValue(), strings::kStatusStarted);
    EXPECT_TRUE(dlg.IsJobRunning());

    ASSERT_TRUE(test::PumpUntil([&] { return !dlg.IsJobRunning(); }));
    ASSERT_EQ(answers.Messages().size(), 1u);
    EXPECT_EQ(answers.Messages()[0], strings::kOutcomeComplete);
    EXPECT_EQ(answers.seen[0].gaugeValue, 100);
    EXPECT_EQ(answers.seen[0].caption, "calvex");
    EXPECT_EQ(dlg.m_progress->GetValue(), 0);
    EXPECT_EQ(StatesOf(dlg), kIdle);
    EXPECT_EQ(dlg.m_editStatus->GetValue(), strings::kStatusCompleted);
    EXPECT_EQ(builder->outputPath, output.utf8_string());
    // Fresh instances of the selected compressors after the job.
    EXPECT_EQ(test::IdOf(media::g_pVideoCompressor.Get()), "alpha#2");
    EXPECT_EQ(test::IdOf(media::g_pAudioCompressor.Get()), "mp3#2");
}

TEST_F(JobFlowTest, AbortStopsTheRunningJob)
{
    ui::CCalvexDlg& dlg = OpenWithPaths();
    PrepareEndlessJob();
    answers.Reply(wxID_OK); // the stopped job's outcome
    ConvertUntilGraphBuilt(dlg);

    Click(dlg.m_btnAbort);
    EXPECT_EQ(StatesOf(dlg), kAborted);
    EXPECT_EQ(dlg.m_editStatus->GetValue(), strings::kStatusAbortPressed);

    ASSERT_TRUE(test::PumpUntil([&] { return !dlg.IsJobRunning(); }));
    ASSERT_EQ(answers.Messages().size(), 1u);
    EXPECT_EQ(answers.Messages()[0], strings::kOutcomeTimeOut);
    EXPECT_EQ(answers.seen[0].gaugeValue, 100);
    EXPECT_EQ(dlg.m_progress->GetValue(), 0);
    EXPECT_EQ(StatesOf(dlg), kIdle);
    EXPECT_EQ(dlg.m_editStatus->GetValue(), strings::kStatusAbortPressed);
    EXPECT_GE(engine->builders[0]->graph->stopCount, 1);
}

TEST_F(JobFlowTest, ConvertRightAfterAbortStartsOnlyOnceTheOldWorkerEnded)
{
    ui::CCalvexDlg& dlg = OpenWithPaths();
    PrepareEndlessJob();
    ConvertUntilGraphBuilt(dlg);
    Click(dlg.m_btnAbort);
    engine->PrepareJob(); // the second job completes at once

    size_t buildersWhileOldJobEnded = 0;
    bool secondConvertStarted = true;
    // The old job's outcome box shows while Convert waits: the window still
    // handles events, and a second press of Convert meanwhile starts nothing.
    answers.Answer_([&](wxDialog&) {
        buildersWhileOldJobEnded = engine->builders.size();
        Click(dlg.m_btnConvert);
        secondConvertStarted = engine->builders.size() != buildersWhileOldJobEnded;
        return static_cast<int>(wxID_OK);
    });
    answers.Reply(wxID_OK); // the second job's outcome
    Click(dlg.m_btnConvert);
    EXPECT_EQ(buildersWhileOldJobEnded, 1u);
    EXPECT_FALSE(secondConvertStarted);
    EXPECT_EQ(dlg.m_editStatus->GetValue(), strings::kStatusStarted);

    ASSERT_TRUE(test::PumpUntil([&] { return !dlg.IsJobRunning(); }));
    EXPECT_EQ(engine->builders.size(), 2u);
    ASSERT_EQ(answers.Messages().size(), 2u);
    EXPECT_EQ(answers.Messages()[0], strings::kOutcomeTimeOut);
    EXPECT_EQ(answers.Messages()[1], strings::kOutcomeComplete);
    EXPECT_EQ(StatesOf(dlg), kIdle);
}

TEST_F(JobFlowTest, ClosingTheWindowDuringAJobStopsItAndWaitsForTheWorker)
{
    ui::CCalvexDlg& dlg = OpenWithPaths();
    PrepareEndlessJob();
    ConvertUntilGraphBuilt(dlg);
    dlg.Close();
    EXPECT_FALSE(dlg.IsShown()); // gone for the user at once
    ASSERT_TRUE(test::PumpUntil([this] { return IsDestroyed(); }));
    // The stopped job ends without asking anyone: no one would be there to answer.
    EXPECT_TRUE(answers.Messages().empty());
    EXPECT_GE(engine->builders[0]->graph->stopCount, 1);
    EXPECT_FALSE(media::g_pMediaControl.IsFilled());
}

TEST_F(JobFlowTest, EscapeDuringAJobEndsTheWindowAfterTheWorker)
{
    ui::CCalvexDlg& dlg = OpenWithPaths();
    PrepareEndlessJob();
    ConvertUntilGraphBuilt(dlg);
    test::PressKey(&dlg, WXK_ESCAPE);
    ASSERT_TRUE(test::PumpUntil([this] { return IsDestroyed(); }));
    EXPECT_TRUE(answers.Messages().empty());
}

TEST_F(JobFlowTest, MenuQuitDuringAJobAsksThenEndsTheWindowAfterTheWorker)
{
    ui::CCalvexDlg& dlg = OpenWithPaths();
    PrepareEndlessJob();
    ConvertUntilGraphBuilt(dlg);
    EXPECT_FALSE(dlg.m_btnQuit->IsEnabled());
    answers.Reply(wxID_YES);
    test::ChooseMenuCommand(&dlg, "ID_FILE_QUIT");
    ASSERT_TRUE(test::PumpUntil([this] { return IsDestroyed(); }));
    EXPECT_EQ(answers.Messages(), std::vector<wxString>{strings::kQuitConfirm});
}

// An automation client's release can close the window while a box of the
// window is up: the window goes only once the box has returned.
TEST_F(JobFlowTest, ACloseWhileTheQuitQuestionIsUpWaitsForTheAnswer)
{
    ui::CCalvexDlg& dlg = OpenWithPaths();
    bool destroyedInsideTheBox = true;
    answers.Answer_([&](wxDialog&) {
        dlg.Close();
        test::PumpPending(); // the box's own loop goes on, idle work included
        destroyedInsideTheBox = IsDestroyed();
        return wxID_NO;
    });
    Click(dlg.m_btnQuit);
    EXPECT_FALSE(destroyedInsideTheBox);
    EXPECT_TRUE(test::PumpUntil([this] { return IsDestroyed(); }));
}

TEST_F(JobFlowTest, ACloseWhileTheOutcomeIsUpEndsTheWindowOnceItIsAnswered)
{
    ui::CCalvexDlg& dlg = OpenWithPaths();
    engine->PrepareJob(); // completes at once
    bool destroyedInsideTheBox = true;
    answers.Answer_([&](wxDialog&) {
        dlg.Close();
        test::PumpPending();
        destroyedInsideTheBox = IsDestroyed();
        return wxID_OK;
    });
    Click(dlg.m_btnConvert);
    ASSERT_TRUE(test::PumpUntil([this] { return IsDestroyed(); }));
    EXPECT_FALSE(destroyedInsideTheBox);
    EXPECT_EQ(answers.Messages(), std::vector<wxString>{strings::kOutcomeComplete});
}

TEST_F(JobFlowTest, JobThatCannotBuildItsGraphEndsWithTheErrorMessage)
{
    ui::CCalvexDlg& dlg = OpenWithPaths();
    test::GraphScript script;
    script.endCode = 3;
    engine->PrepareJob(script);
    answers.Reply(wxID_OK);
    Click(dlg.m_btnConvert);
    ASSERT_TRUE(test::PumpUntil([&] { return !dlg.IsJobRunning(); }));
    EXPECT_EQ(answers.Messages(), std::vector<wxString>{strings::kOutcomeErrorAbort});
    EXPECT_EQ(dlg.m_editStatus->GetValue(), strings::kOutcomeErrorAbort);
    EXPECT_EQ(StatesOf(dlg), kIdle);
}

} // namespace
