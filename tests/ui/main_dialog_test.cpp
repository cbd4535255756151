// The main window right after opening, its controls, and its closing rules.
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/filename.h>
#include <wx/gauge.h>
#include <wx/menu.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "media/catalogue.h"
#include "res/strings.h"
#include "ui/auto_proxy.h"
#include "window_fixture.h"

using namespace calvex;
using test::Click;

namespace {

struct ExpectedControl {
    const char* kind;
    const char* label;
    bool tabStop;
};

// The template's controls, in template order (which is the tab order).
const ExpectedControl kTemplate[] = {
    {"button", "Quit", true},
    {"button", "Source File", true},
    {"button", "Output File", true},
    {"edit", "", true},
    {"edit", "", true},
    {"button", "Convert", true},
    {"box", "Coversion Controls", false},
    {"static", "Video Compressor", false},
    {"combo", "", true},
    {"button", "Properties", true},
    {"static", "Audio Compressor", false},
    {"combo", "", true},
    {"button", "Properties", true},
    {"box", "Conversion Progress and Status", false},
    {"gauge", "", false},
    {"edit", "", true},
    {"static", "Current Progress", false},
    {"static", "Output Log/Status", false},
    {"check", "Keep the audio stream the same..", true},
    {"button", "Abort", true},
};

std::string KindOf(wxWindow* control)
{
    if (dynamic_cast<wxButton*>(control))
        return "button";
    if (dynamic_cast<wxTextCtrl*>(control))
        return "edit";
    if (dynamic_cast<wxComboBox*>(control))
        return "combo";
    if (dynamic_cast<wxStaticBox*>(control))
        return "box";
    if (dynamic_cast<wxStaticText*>(control))
        return "static";
    if (dynamic_cast<wxGauge*>(control))
        return "gauge";
    if (dynamic_cast<wxCheckBox*>(control))
        return "check";
    return "other";
}

std::string FocusedName(const wxWindowList& controls)
{
    for (wxWindow* control : controls) {
        if (test::HasGtkFocus(control))
            return control->GetName().utf8_string();
    }
    return "none of the controls";
}

class MainWindowTest : public test::WindowTest {};

TEST_F(MainWindowTest, OpensWithEmptyPathsKeepAudioCheckedAndAbortDisabled)
{
    ui::CCalvexDlg& dlg = Open();
    EXPECT_EQ(dlg.GetTitle(), "Calvex Version 1.2, www.calvex.example");
    EXPECT_TRUE(dlg.m_strSourceFile.empty());
    EXPECT_TRUE(dlg.m_strOutputFile.empty());
    EXPECT_TRUE(dlg.m_strStatus.empty());
    EXPECT_TRUE(dlg.m_editStatus->GetValue().empty());
    EXPECT_TRUE(dlg.m_btnKeepAudio->GetValue());
    EXPECT_EQ(dlg.m_bKeepAudio, 1);
    EXPECT_FALSE(dlg.m_btnAbort->IsEnabled());
    EXPECT_EQ(dlg.m_progress->GetValue(), 0);
    for (wxWindow* control : dlg.GetChildren().front()->GetChildren()) {
        if (control != dlg.m_btnAbort) {
            EXPECT_TRUE(control->IsEnabled()) << control->GetName();
        }
    }
}

TEST_F(MainWindowTest, EachListShowsItsFirstSortedEntryAndItsCompressorIsBound)
{
    ui::CCalvexDlg& dlg = Open();
    ASSERT_EQ(dlg.m_cbVideoCompressor->GetCount(), 2u);
    EXPECT_EQ(dlg.m_cbVideoCompressor->GetString(0), "alpha video");
    EXPECT_EQ(dlg.m_cbVideoCompressor->GetSelection(), 0);
    EXPECT_EQ(dlg.m_cbVideoCompressor->GetValue(), "alpha video");
    EXPECT_EQ(dlg.m_cbAudioCompressor->GetValue(), "MP3 audio");
    EXPECT_EQ(test::IdOf(media::g_pVideoCompressor.Get()), "alpha#1");
    EXPECT_EQ(test::IdOf(media::g_pAudioCompressor.Get()), "mp3#1");
}

TEST_F(MainWindowTest, ChangingASelectionBindsThatCompressor)
{
    ui::CCalvexDlg& dlg = Open();
    dlg.m_cbAudioCompressor->SetSelection(1);
    wxCommandEvent change(wxEVT_COMBOBOX, dlg.m_cbAudioCompressor->GetId());
    change.SetEventObject(dlg.m_cbAudioCompressor);
    dlg.m_cbAudioCompressor->ProcessWindowEvent(change);
    EXPECT_EQ(test::IdOf(media::g_pAudioCompressor.Get()), "pcm#1");
    EXPECT_EQ(test::IdOf(media::g_pVideoCompressor.Get()), "alpha#1");
}

TEST_F(MainWindowTest, ControlsAreInTemplateOrderWithTheirLabels)
{
    ui::CCalvexDlg& dlg = Open();
    const wxWindowList& controls = dlg.GetChildren().front()->GetChildren();
    ASSERT_EQ(controls.size(), std::size(kTemplate));
    size_t index = 0;
    for (wxWindow* control : controls) {
        const ExpectedControl& expected = kTemplate[index++];
        EXPECT_EQ(KindOf(control), expected.kind) << "control " << index - 1;
        if (*expected.label) {
            EXPECT_EQ(control->GetLabel(), expected.label) << "control " << index - 1;
        }
        EXPECT_EQ(control->AcceptsFocusFromKeyboard(), expected.tabStop) << "control " << index - 1;
    }
    EXPECT_EQ(controls.front(), dlg.m_btnQuit);
    EXPECT_EQ(controls.back(), dlg.m_btnAbort);
}

TEST_F(MainWindowTest, FocusStartsOnQuitAndTabWalksTheTemplateOrder)
{
    ui::CCalvexDlg& dlg = Open();
    dlg.Raise();
    ASSERT_TRUE(test::PumpUntil([&] { return test::HasGtkFocus(dlg.m_btnQuit); }))
        << "focus is not on Quit";
    const wxWindowList& controls = dlg.GetChildren().front()->GetChildren();
    std::vector<wxWindow*> tabStops;
    for (wxWindow* control : controls) {
        if (control->AcceptsFocusFromKeyboard())
            tabStops.push_back(control);
    }
    // Abort is disabled in this state, so Tab passes it by.
    tabStops.pop_back();
    for (size_t i = 1; i < tabStops.size(); ++i) {
        test::PressTab(&dlg);
        // GTK's editable combo box takes two Tabs: its entry, then its arrow.
        if (dynamic_cast<wxComboBox*>(tabStops[i - 1]) && test::HasGtkFocus(tabStops[i - 1]))
            test::PressTab(&dlg);
        ASSERT_TRUE(test::PumpUntil([&] { return test::HasGtkFocus(tabStops[i]); },
                                    std::chrono::seconds(2)))
            << "tab stop " << i << " is " << tabStops[i]->GetName() << "; focus is on "
            << FocusedName(controls);
    }
}

TEST_F(MainWindowTest, MenuHasFileAndUpdates)
{
    ui::CCalvexDlg& dlg = Open();
    wxMenuBar* menus = dlg.GetMenuBar();
    ASSERT_NE(menus, nullptr);
    ASSERT_EQ(menus->GetMenuCount(), 2u);
    EXPECT_EQ(menus->GetMenuLabelText(0), "File");
    EXPECT_EQ(menus->GetMenuLabelText(1), "Updates");
    wxMenu* file = menus->GetMenu(0);
    ASSERT_EQ(file->GetMenuItemCount(), 3u);
    EXPECT_EQ(file->FindItemByPosition(0)->GetItemLabelText(), "About");
    EXPECT_TRUE(file->FindItemByPosition(1)->IsSeparator());
    EXPECT_EQ(file->FindItemByPosition(2)->GetItemLabelText(), "Quit");
    EXPECT_EQ(menus->GetMenu(1)->FindItemByPosition(0)->GetItemLabelText(), "Check On Line");
}

TEST_F(MainWindowTest, WindowHasAFixedSizeAndItsIcons)
{
    ui::CCalvexDlg& dlg = Open();
    EXPECT_FALSE(dlg.HasFlag(wxRESIZE_BORDER));
    EXPECT_FALSE(dlg.HasFlag(wxMAXIMIZE_BOX));
    EXPECT_TRUE(dlg.HasFlag(wxMINIMIZE_BOX));
    EXPECT_EQ(dlg.GetMinSize(), dlg.GetMaxSize());
    EXPECT_EQ(dlg.GetIcons().GetIconCount(), 6u);
    EXPECT_TRUE(dlg.GetIcons().GetIcon(32).IsOk());
    // Every control lies inside the window's client area.
    const wxRect client(dlg.GetChildren().front()->GetClientSize());
    for (wxWindow* control : dlg.GetChildren().front()->GetChildren())
        EXPECT_TRUE(client.Contains(control->GetRect())) << control->GetName();
}

TEST_F(MainWindowTest, ConvertWithEmptyPathsIsRefused)
{
    ui::CCalvexDlg& dlg = Open();
    SetPaths("", "/tmp/out.avi");
    answers.Reply(wxID_OK);
    Click(dlg.m_btnConvert);
    ASSERT_EQ(answers.Messages().size(), 1u);
    EXPECT_EQ(answers.Messages()[0], strings::kSelectFilesFirst);
    EXPECT_EQ(answers.seen[0].caption, "calvex");
    EXPECT_TRUE(dlg.m_btnConvert->IsEnabled());
    EXPECT_FALSE(dlg.m_btnAbort->IsEnabled());
    EXPECT_TRUE(dlg.m_btnQuit->IsEnabled());
    EXPECT_TRUE(dlg.m_strStatus.empty());
    EXPECT_TRUE(engine->builders.empty());

    SetPaths("", "");
    answers.Reply(wxID_OK);
    Click(dlg.m_btnConvert);
    EXPECT_EQ(answers.Messages().size(), 2u);
    EXPECT_FALSE(dlg.IsJobRunning());
}

TEST_F(MainWindowTest, ConvertWithTheSameFileTwiceIsRefusedAndDeletesNothing)
{
    ui::CCalvexDlg& dlg = Open();
    const wxString path = wxFileName::CreateTempFileName("calvex-same");
    SetPaths(path, path);
    answers.Reply(wxID_OK);
    Click(dlg.m_btnConvert);
    ASSERT_EQ(answers.Messages().size(), 1u);
    EXPECT_EQ(answers.Messages()[0], strings::kSourceIsOutput);
    EXPECT_TRUE(wxFileExists(path));
    EXPECT_TRUE(dlg.m_btnConvert->IsEnabled());
    EXPECT_FALSE(dlg.IsJobRunning());
    wxRemoveFile(path);
}

TEST_F(MainWindowTest, UncheckingKeepAudioWarnsAndCheckingDoesNot)
{
    ui::CCalvexDlg& dlg = Open();
    answers.Reply(wxID_OK);
    Click(dlg.m_btnKeepAudio);
    ASSERT_EQ(answers.Messages().size(), 1u);
    EXPECT_EQ(answers.Messages()[0], strings::kAudioCaution);
    Click(dlg.m_btnKeepAudio);
    EXPECT_EQ(answers.Messages().size(), 1u);
}

TEST_F(MainWindowTest, EscapeEndsTheWindowWithoutAsking)
{
    ui::CCalvexDlg& dlg = Open();
    test::PressKey(&dlg, WXK_ESCAPE);
    EXPECT_TRUE(test::PumpUntil([this] { return IsDestroyed(); }));
    EXPECT_TRUE(answers.seen.empty());
}

TEST_F(MainWindowTest, CloseBoxEndsTheWindowWithoutAsking)
{
    ui::CCalvexDlg& dlg = Open();
    dlg.Close();
    EXPECT_TRUE(test::PumpUntil([this] { return IsDestroyed(); }));
    EXPECT_TRUE(answers.seen.empty());
}

TEST_F(MainWindowTest, EnterAsksTheQuitQuestion)
{
    ui::CCalvexDlg& dlg = Open();
    dlg.m_cbVideoCompressor->SetFocus();
    test::PumpPending();
    answers.Reply(wxID_NO);
    test::PressKey(&dlg, WXK_RETURN);
    ASSERT_EQ(answers.Messages().size(), 1u);
    EXPECT_EQ(answers.Messages()[0], strings::kQuitConfirm);
    EXPECT_FALSE(IsDestroyed());
}

TEST_F(MainWindowTest, WithAProxyAttachedEveryWayOfClosingOnlyHides)
{
    ui::CCalvexDlg& dlg = Open();
    ui::CCalvexDlgAutoProxy proxy(&dlg);
    ASSERT_EQ(dlg.m_pAutoProxy, &proxy);

    dlg.Close();
    test::PumpPending();
    EXPECT_FALSE(IsDestroyed());
    EXPECT_FALSE(dlg.IsShown());

    dlg.Show();
    test::PumpPending();
    test::PressKey(&dlg, WXK_ESCAPE);
    test::PumpPending();
    EXPECT_FALSE(IsDestroyed());
    EXPECT_FALSE(dlg.IsShown());

    dlg.Show();
    test::PumpPending();
    answers.Reply(wxID_YES);
    Click(dlg.m_btnQuit);
    test::PumpPending();
    EXPECT_FALSE(IsDestroyed());
    EXPECT_FALSE(dlg.IsShown());
}

TEST_F(MainWindowTest, ReleasingTheProxyLetsTheWindowEnd)
{
    ui::CCalvexDlg& dlg = Open();
    {
        ui::CCalvexDlgAutoProxy proxy(&dlg);
        dlg.Close();
        test::PumpPending();
        EXPECT_FALSE(IsDestroyed());
    }
    EXPECT_EQ(dlg.m_pAutoProxy, nullptr);
    dlg.Close();
    EXPECT_TRUE(test::PumpUntil([this] { return IsDestroyed(); }));
}

TEST_F(MainWindowTest, DestroyingTheWindowDetachesTheProxy)
{
    ui::CCalvexDlg& dlg = Open();
    ui::CCalvexDlgAutoProxy proxy(&dlg);
    dlg.Destroy();
    ASSERT_TRUE(test::PumpUntil([this] { return IsDestroyed(); }));
    EXPECT_EQ(proxy.m_pDialog, nullptr);
}

} // namespace
