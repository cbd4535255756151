// SPDX-License-Identifier: GPL-2.0-or-later
// The file pickers, the quit question and the About box.
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/dnd.h>
#include <wx/file.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/statbmp.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include "res/strings.h"
#include "ui/about_dialog.h"
#include "window_fixture.h"

using namespace calvex;
using test::Click;

namespace {

class PickerTest : public test::WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        // GTK's file chooser takes a path only in a folder that exists.
        dir = wxFileName::CreateTempFileName("calvex-pickers");
        wxRemoveFile(dir);
        ASSERT_TRUE(wxFileName::Mkdir(dir, wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL));
    }
    void TearDown() override
    {
        WindowTest::TearDown();
        wxFileName::Rmdir(dir, wxPATH_RMDIR_RECURSIVE);
    }
    wxString In(const wxString& name) { return dir + "/" + name; }
    void Pick(const char* button) { Click(XRCCTRL(*window, button, wxButton)); }
    wxString Edit(const char* edit) { return XRCCTRL(*window, edit, wxTextCtrl)->GetValue(); }

    wxString dir;
};

// A file dropped on the window becomes the source as a pick in the Open
// dialog does (the members shown again); of several, the first file; a
// folder alone changes nothing.
TEST_F(PickerTest, ADroppedFileBecomesTheSource)
{
    ui::CCalvexDlg& dlg = Open();
    SetPaths("/clips/before.mp4", In("out.avi"));
    auto* target = dynamic_cast<wxFileDropTarget*>(dlg.GetDropTarget());
    ASSERT_NE(target, nullptr);
    const wxString video = In(wxString::FromUTF8("holiday é.mkv"));
    ASSERT_TRUE(wxFile().Create(video));
    dlg.m_btnKeepAudio->SetValue(false); // clicked, not yet taken into the members

    EXPECT_FALSE(target->OnDropFiles(0, 0, wxArrayString(1, &dir)));
    EXPECT_EQ(Edit("IDC_SOURCE_FILE"), "/clips/before.mp4");
    EXPECT_FALSE(dlg.m_btnKeepAudio->GetValue());

    const wxString dropped[] = {dir, video, In("other.mp4")};
    EXPECT_TRUE(target->OnDropFiles(0, 0, wxArrayString(3, dropped)));
    EXPECT_EQ(Edit("IDC_SOURCE_FILE"), video);
    EXPECT_EQ(dlg.m_strSourceFile, video);
    EXPECT_EQ(Edit("IDC_OUTPUT_FILE"), In("out.avi"));
    EXPECT_TRUE(dlg.m_btnKeepAudio->GetValue()); // as after a pick
    EXPECT_TRUE(answers.seen.empty());           // no box, no dialog
}

TEST_F(PickerTest, PickedPathsComeBackWholeAndAnOutputGetsAvi)
{
    Open();
    const wxString longDir = In(wxString('d', 150));
    ASSERT_TRUE(wxFileName::Mkdir(longDir));
    const wxString longPath = longDir + "/" + wxString('n', 120) + ".mp4";
    answers.ReplyFile(longPath);
    Pick("IDC_BROWSE_SOURCE");
    answers.ReplyFile(In("holiday"));
    Pick("IDC_BROWSE_OUTPUT");

    EXPECT_EQ(answers.seen[0].caption, strings::kSourcePickerTitle);
    EXPECT_TRUE(answers.seen[0].style & wxFD_OPEN);
    EXPECT_TRUE(answers.seen[1].style & wxFD_OVERWRITE_PROMPT);
    EXPECT_EQ(Edit("IDC_SOURCE_FILE"), longPath);
    EXPECT_EQ(window->m_strOutputFile, In("holiday.avi"));
}

TEST_F(PickerTest, CancelKeepsTheSourceForgetsTheOutputAndSaysSo)
{
    Open();
    answers.ReplyFile(In("first.mp4"));
    Pick("IDC_BROWSE_SOURCE");
    answers.ReplyFile(In("out.avi"));
    Pick("IDC_BROWSE_OUTPUT");
    answers.Reply(wxID_OK); // the caution about recompressing audio
    Click(window->m_btnKeepAudio);
    for (const char* button : {"IDC_BROWSE_SOURCE", "IDC_BROWSE_OUTPUT"}) {
        answers.Reply(wxID_CANCEL);
        answers.Reply(wxID_OK);
        Pick(button);
    }
    EXPECT_EQ(answers.Messages(),
              (std::vector<wxString>{strings::kAudioCaution, strings::kSourceCancelled,
                                     strings::kOutputCancelled}));
    EXPECT_EQ(Edit("IDC_SOURCE_FILE"), In("first.mp4"));
    EXPECT_TRUE(Edit("IDC_OUTPUT_FILE").empty());
    // Showing the members again shows the keep-audio box as they hold it.
    EXPECT_TRUE(window->m_btnKeepAudio->GetValue());
}

class QuitTest : public test::WindowTest {};

// The About box opened from the menu: tests/app/stop_signal_job_test.cpp.
TEST_F(QuitTest, EnterAndTheMenuAskBeforeQuitting)
{
    ui::CCalvexDlg& dlg = Open();
    answers.Reply(wxID_NO);
    dlg.m_cbVideoCompressor->SetFocus(); // Enter presses Quit, the default button
    test::PressKey(&dlg, WXK_RETURN);
    test::PumpPending();
    EXPECT_FALSE(IsDestroyed());
    answers.Reply(wxID_YES);
    test::ChooseMenuCommand(&dlg, "ID_FILE_QUIT");
    EXPECT_TRUE(test::PumpUntil([this] { return IsDestroyed(); }));
    ASSERT_EQ(answers.seen.size(), 2u);
    EXPECT_EQ(answers.seen[0].message, strings::kQuitConfirm);
    EXPECT_TRUE(answers.seen[0].style & wxYES_NO);
    EXPECT_EQ(answers.seen[1].message, strings::kQuitConfirm);
}

TEST(AboutBoxTest, ShowsThePictureAndTheIconAtTheirOwnSizes)
{
    ui::CAboutDlg about(nullptr);
    const wxBitmap picture = XRCCTRL(about, "IDB_ABOUT_PICTURE", wxStaticBitmap)->GetBitmap();
    EXPECT_EQ(picture.GetSize(), wxSize(367, 151));
    EXPECT_EQ(XRCCTRL(about, "IDR_MAINFRAME", wxStaticBitmap)->GetBitmap().GetSize(),
              wxSize(32, 32));
}

} // namespace
