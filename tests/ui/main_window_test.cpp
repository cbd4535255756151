// SPDX-License-Identifier: GPL-2.0-or-later
// The main window's own wiring on the fake engine: its opening state, the
// buttons of each phase of a job, the closing rules, with and without a
// job and an automation proxy attached.
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/filename.h>
#include <wx/gauge.h>
#include <wx/menu.h>
#include <wx/textctrl.h>

#include <gtk/gtk.h>

#include "res/strings.h"
#include "ui/auto_proxy.h"
#include "window_fixture.h"

using namespace calvex;
using test::Click;

namespace {

bool Shows(const ui::CCalvexDlg& dlg, job::JobPhase phase)
{
    const job::ControlState s = job::ControlStateOf(phase);
    return dlg.m_btnConvert->IsEnabled() == s.convert && dlg.m_btnAbort->IsEnabled() == s.abort &&
           dlg.m_btnQuit->IsEnabled() == s.quit &&
           dlg.m_btnVideoProperties->IsEnabled() == s.videoProperties &&
           dlg.m_btnAudioProperties->IsEnabled() == s.audioProperties;
}

// What a screen reader announces for control.
wxString AccessibleName(wxWindow* control)
{
    AtkObject* accessible = gtk_widget_get_accessible(GTK_WIDGET(control->GetHandle()));
    return wxString::FromUTF8(accessible ? atk_object_get_name(accessible) : "");
}

class MainWindowTest : public test::WindowTest {
protected:
    ui::CCalvexDlg& OpenWithPaths()
    {
        ui::CCalvexDlg& dlg = Open();
        SetPaths("/clips/source clip.mp4", wxFileName::GetTempDir() + "/calvex-ui-job-out.avi");
        return dlg;
    }

    // Convert, then the keep-audio box unchecked while the job runs; with
    // abort, Abort pressed too (the box shows the job's value at once).
    ui::CCalvexDlg& RunJobUncheckingKeepAudio(long endCode, bool abort)
    {
        ui::CCalvexDlg& dlg = OpenWithPaths();
        test::GraphScript script;
        script.ticks = 3;
        script.endCode = endCode;
        script.blockUntilStopped = abort;
        engine->PrepareJob(script);
        answers.Reply(wxID_OK); // the caution
        answers.Reply(wxID_OK); // the outcome
        Click(dlg.m_btnConvert);
        Click(dlg.m_btnKeepAudio);
        EXPECT_FALSE(dlg.m_btnKeepAudio->GetValue());
        EXPECT_TRUE(dlg.IsJobRunning());
        if (abort) {
            EXPECT_TRUE(test::PumpUntil([this] { return slots.g_pMediaControl.IsFilled(); }));
            Click(dlg.m_btnAbort);
            EXPECT_TRUE(dlg.m_btnKeepAudio->GetValue());
        }
        EXPECT_TRUE(test::PumpUntil([&] { return !dlg.IsJobRunning(); }));
        return dlg;
    }

    // Convert on a job that runs until it is stopped, once its graph is built.
    void ConvertEndlessJob(ui::CCalvexDlg& dlg)
    {
        test::GraphScript script;
        script.blockUntilStopped = true;
        engine->PrepareJob(script);
        Click(dlg.m_btnConvert);
        ASSERT_TRUE(test::PumpUntil([this] { return slots.g_pMediaControl.IsFilled(); }));
    }
};

TEST_F(MainWindowTest, OpensIdleWithTheFirstSortedCompressorsBound)
{
    ui::CCalvexDlg& dlg = Open();
    EXPECT_TRUE(Shows(dlg, job::JobPhase::Idle));
    EXPECT_TRUE(dlg.m_btnKeepAudio->GetValue());
    EXPECT_EQ(dlg.m_bKeepAudio, 1);
    EXPECT_EQ(dlg.m_cbVideoCompressor->GetValue(), "alpha video");
    EXPECT_EQ(test::IdOf(slots.g_pVideoCompressor.Get()), "alpha#1");
    EXPECT_EQ(test::IdOf(slots.g_pAudioCompressor.Get()), "mp3#1");

    test::Choose(dlg.m_cbAudioCompressor, "PCM audio");
    EXPECT_EQ(test::IdOf(slots.g_pAudioCompressor.Get()), "pcm#1");

    EXPECT_EQ(dlg.m_cbAudioCompressor->GetToolTipText(), "PCM audio"); // the entry whole

    answers.Reply(wxID_OK);
    Click(dlg.m_btnKeepAudio); // unchecked: the caution, in the program's box
    Click(dlg.m_btnKeepAudio); // checked again: no caution
    EXPECT_EQ(answers.Messages(), std::vector<wxString>{strings::kAudioCaution});
    EXPECT_EQ(answers.seen[0].caption, "calvex");
    // Both buttons read "Properties"; screen readers say which list each serves.
    EXPECT_EQ(AccessibleName(dlg.m_btnVideoProperties), strings::kVideoPropertiesName);
    EXPECT_EQ(AccessibleName(dlg.m_btnAudioProperties), strings::kAudioPropertiesName);
}

TEST_F(MainWindowTest, EscapeWithAMenuOpenClosesTheMenuAndNotTheWindow)
{
    ui::CCalvexDlg& dlg = Open();
    int opened = 0, closed = 0;
    dlg.Bind(wxEVT_MENU_OPEN, [&](wxMenuEvent& event) { ++opened, event.Skip(); });
    dlg.Bind(wxEVT_MENU_CLOSE, [&](wxMenuEvent& event) { ++closed, event.Skip(); });
    const wxRect bar = dlg.GetMenuBar()->GetScreenRect();
    // The user's own pointer and key, through the X server: a menu of the
    // menu bar takes the keyboard for itself as it does for a person.
    ASSERT_TRUE(test::RealClick({bar.x + 12, bar.y + bar.height / 2})); // "File"
    ASSERT_TRUE(test::PumpUntil([&] { return opened > 0; }));
    ASSERT_TRUE(test::RealKeyPress("Escape"));
    ASSERT_TRUE(test::PumpUntil([&] { return closed > 0; }));
    test::PumpPending();
    EXPECT_FALSE(IsDestroyed());
    ASSERT_TRUE(test::RealKeyPress("Escape")); // now the window's own: Cancel
    EXPECT_TRUE(test::PumpUntil([this] { return IsDestroyed(); }));
}

// The keep-audio box, unchecked while a job runs: a completed job and an
// Abort show the job's value again (members to controls); a failed job
// leaves the window as the user set it.
TEST_F(MainWindowTest, TheKeepAudioBoxChangedDuringAJobShowsTheJobsValueUnlessItFails)
{
    for (const auto& [endCode, abort, status] :
         {std::tuple{media::EC_ERRORABORT, false, strings::kOutcomeErrorAbort},
          std::tuple{media::EC_COMPLETE, false, strings::kStatusCompleted},
          std::tuple{media::EC_NONE, true, strings::kStatusAbortPressed}}) {
        ui::CCalvexDlg& dlg = RunJobUncheckingKeepAudio(endCode, abort);
        EXPECT_EQ(dlg.m_editStatus->GetValue(), status);
        EXPECT_EQ(dlg.m_btnKeepAudio->GetValue(), endCode != media::EC_ERRORABORT) << endCode;
        dlg.Close();
        ASSERT_TRUE(test::PumpUntil([this] { return IsDestroyed(); }));
    }
}

TEST_F(MainWindowTest, AFailedJobSaysWhyInItsBoxAndOnTheStatusLine)
{
    ui::CCalvexDlg& dlg = OpenWithPaths();
    const std::string reason = "Cannot open the source file \"x.mp4\": No such file or directory";
    test::GraphScript script;
    script.endCode = media::EC_ERRORABORT;
    script.endReason = reason;
    engine->PrepareJob(script);
    answers.Reply(wxID_OK);
    Click(dlg.m_btnConvert);
    ASSERT_TRUE(test::PumpUntil([&] { return !dlg.IsJobRunning(); }));
    EXPECT_EQ(answers.Messages(), std::vector<wxString>{strings::kOutcomeErrorAbort});
    EXPECT_EQ(answers.seen[0].detail, reason);
    EXPECT_EQ(dlg.m_editStatus->GetValue(), wxString(strings::kOutcomeErrorAbort) + "\n" + reason);
}

TEST_F(MainWindowTest, AbortStopsTheJobAndConvertRightAfterWaitsForTheOldWorker)
{
    ui::CCalvexDlg& dlg = OpenWithPaths();
    ConvertEndlessJob(dlg);
    EXPECT_TRUE(Shows(dlg, job::JobPhase::Running));
    EXPECT_EQ(dlg.m_editStatus->GetValue(), strings::kStatusStarted);
    Click(dlg.m_btnAbort);
    EXPECT_TRUE(Shows(dlg, job::JobPhase::AbortPressed));
    // Convert is offered again at once; Quit stays off until the job has ended.
    EXPECT_TRUE(dlg.m_btnConvert->IsEnabled() && dlg.m_btnVideoProperties->IsEnabled());
    EXPECT_FALSE(dlg.m_btnQuit->IsEnabled() || dlg.m_btnAbort->IsEnabled());
    EXPECT_EQ(dlg.m_editStatus->GetValue(), strings::kStatusAbortPressed);
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
    ASSERT_TRUE(test::PumpUntil([&] { return !dlg.IsJobRunning(); }));
    EXPECT_EQ(answers.Messages(),
              (std::vector<wxString>{strings::kOutcomeTimeOut, strings::kOutcomeComplete}));
    EXPECT_GE(engine->builders[0]->graph->stopCount, 1);
    EXPECT_TRUE(Shows(dlg, job::JobPhase::Idle));
}

TEST_F(MainWindowTest, ClosingDuringAJobHidesAtOnceAndEndsAfterTheWorker)
{
    ui::CCalvexDlg& dlg = OpenWithPaths();
    ConvertEndlessJob(dlg);
    dlg.Close();
    EXPECT_FALSE(dlg.IsShown());
    ASSERT_TRUE(test::PumpUntil([this] { return IsDestroyed(); }));
    // The stopped job ends without asking anyone: no one would be there to answer.
    EXPECT_TRUE(answers.Messages().empty());
    EXPECT_FALSE(slots.g_pMediaControl.IsFilled());
}

// An automation client's release can close the window while a box of the
// window is up: the window goes only once the box has returned.
TEST_F(MainWindowTest, ACloseWhileABoxIsUpEndsTheWindowOnceItIsAnswered)
{
    for (const bool duringOutcome : {false, true}) {
        ui::CCalvexDlg& dlg = OpenWithPaths();
        bool destroyedInsideTheBox = true;
        answers.Answer_([&](wxDialog&) {
            dlg.Close();
            test::PumpPending(); // the box's own loop goes on, idle work included
            destroyedInsideTheBox = IsDestroyed();
            return duringOutcome ? wxID_OK : wxID_NO;
        });
        if (duringOutcome) {
            engine->PrepareJob(); // completes at once
            Click(dlg.m_btnConvert);
        } else {
            Click(dlg.m_btnQuit);
        }
        EXPECT_TRUE(test::PumpUntil([this] { return IsDestroyed(); }));
        EXPECT_FALSE(destroyedInsideTheBox);
    }
}

TEST_F(MainWindowTest, WithAProxyAttachedEveryWayOfClosingOnlyHides)
{
    ui::CCalvexDlg& dlg = Open();
    {
        ui::CCalvexDlgAutoProxy proxy(&dlg);
        ASSERT_EQ(dlg.m_pAutoProxy, &proxy);
        answers.Reply(wxID_YES);
        for (const auto& close : std::vector<std::function<void()>>{
                 [&] { dlg.Close(); }, [&] { test::PressKey(&dlg, WXK_ESCAPE); },
                 [&] { Click(dlg.m_btnQuit); }}) {
            dlg.Show();
            test::PumpPending();
            close();
            test::PumpPending();
            EXPECT_FALSE(IsDestroyed());
            // Hidden as GTK has it, which is what the user sees: wx's own
            // flag turns true again when the window's map event comes only
            // after the hiding, as on a loaded machine it can.
            EXPECT_FALSE(gtk_widget_get_visible(GTK_WIDGET(dlg.GetHandle())));
        }
    }
    EXPECT_EQ(dlg.m_pAutoProxy, nullptr);
    dlg.Close();
    EXPECT_TRUE(test::PumpUntil([this] { return IsDestroyed(); }));
}

} // namespace
