// The file pickers, the quit question, the About box and the menu.
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include "res/strings.h"
#include "ui/about_dialog.h"
#include "ui/file_pickers.h"
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

    wxButton* SourceButton() { return XRCCTRL(*window, "IDC_BROWSE_SOURCE", wxButton); }
    wxButton* OutputButton() { return XRCCTRL(*window, "IDC_BROWSE_OUTPUT", wxButton); }
    wxString SourceEdit() { return XRCCTRL(*window, "IDC_SOURCE_FILE", wxTextCtrl)->GetValue(); }
    wxString OutputEdit() { return XRCCTRL(*window, "IDC_OUTPUT_FILE", wxTextCtrl)->GetValue(); }

    wxString dir;
};

TEST_F(PickerTest, SourcePickerIsAnOpenDialogWithItsTitleAndFilters)
{
    Open();
    answers.ReplyFile(In("holiday.mp4"));
    Click(SourceButton());
    ASSERT_EQ(answers.seen.size(), 1u);
    const auto& picker = answers.seen[0];
    EXPECT_EQ(picker.kind, "file");
    EXPECT_EQ(picker.caption, "Open Source Video..");
    EXPECT_EQ(picker.wildcard, "Video files (*.avi)|*.avi| Convert To Avi (*.*)|*.*");
    EXPECT_TRUE(picker.style & wxFD_OPEN);
    EXPECT_FALSE(picker.style & (wxFD_FILE_MUST_EXIST | wxFD_OVERWRITE_PROMPT));
    EXPECT_EQ(window->m_strSourceFile, In("holiday.mp4"));
    EXPECT_EQ(SourceEdit(), In("holiday.mp4"));
}

TEST_F(PickerTest, OutputPickerIsASaveDialogThatAsksBeforeOverwriting)
{
    Open();
    answers.ReplyFile(In("holiday.avi"));
    Click(OutputButton());
    ASSERT_EQ(answers.seen.size(), 1u);
    const auto& picker = answers.seen[0];
    EXPECT_EQ(picker.caption, "Save Converted Video as..");
    EXPECT_EQ(picker.wildcard, "Video files (*.avi)|*.avi");
    EXPECT_TRUE(picker.style & wxFD_SAVE);
    EXPECT_TRUE(picker.style & wxFD_OVERWRITE_PROMPT);
    EXPECT_EQ(OutputEdit(), In("holiday.avi"));
}

TEST_F(PickerTest, PathsLongerThanAHundredCharactersComeBackWhole)
{
    Open();
    const wxString longDir = In(wxString('d', 150));
    ASSERT_TRUE(wxFileName::Mkdir(longDir));
    const wxString longPath = longDir + "/" + wxString('n', 120) + ".mp4";
    answers.ReplyFile(longPath);
    Click(SourceButton());
    EXPECT_EQ(window->m_strSourceFile, longPath);
    EXPECT_EQ(SourceEdit(), longPath);
}

TEST_F(PickerTest, OutputNameWithoutExtensionGetsAvi)
{
    Open();
    answers.ReplyFile(In("holiday"));
    Click(OutputButton());
    EXPECT_EQ(window->m_strOutputFile, In("holiday.avi"));
    EXPECT_EQ(ui::WithDefaultExtension(In("holiday.mkv"), false), In("holiday.mkv"));
}

TEST_F(PickerTest, SourceCancelKeepsTheEarlierSourceAndSaysSo)
{
    Open();
    answers.ReplyFile(In("first.mp4"));
    Click(SourceButton());
    answers.Reply(wxID_CANCEL);
    answers.Reply(wxID_OK);
    Click(SourceButton());
    ASSERT_EQ(answers.Messages().size(), 1u);
    EXPECT_EQ(answers.Messages()[0], strings::kSourceCancelled);
    EXPECT_EQ(window->m_strSourceFile, In("first.mp4"));
    EXPECT_EQ(SourceEdit(), In("first.mp4"));
}

TEST_F(PickerTest, SourceCancelWithNoEarlierSourceLeavesItEmpty)
{
    Open();
    answers.Reply(wxID_CANCEL);
    answers.Reply(wxID_OK);
    Click(SourceButton());
    EXPECT_EQ(answers.Messages(), std::vector<wxString>{strings::kSourceCancelled});
    EXPECT_TRUE(SourceEdit().empty());
}

TEST_F(PickerTest, OutputCancelForgetsTheEarlierOutputAndSaysSo)
{
    Open();
    answers.ReplyFile(In("out.avi"));
    Click(OutputButton());
    answers.Reply(wxID_CANCEL);
    answers.Reply(wxID_OK);
    Click(OutputButton());
    EXPECT_EQ(answers.Messages(), std::vector<wxString>{strings::kOutputCancelled});
    EXPECT_TRUE(window->m_strOutputFile.empty());
    EXPECT_TRUE(OutputEdit().empty());
}

TEST_F(PickerTest, PickerShowsTheKeepAudioStateOfTheMembersAgain)
{
    Open();
    answers.Reply(wxID_OK); // the caution about recompressing audio
    Click(window->m_btnKeepAudio);
    ASSERT_FALSE(window->m_btnKeepAudio->GetValue());
    answers.ReplyFile(In("a.mp4"));
    Click(SourceButton());
    EXPECT_TRUE(window->m_btnKeepAudio->GetValue());
}

class QuitTest : public test::WindowTest {};

TEST_F(QuitTest, AnsweringNoKeepsTheWindow)
{
    ui::CCalvexDlg& dlg = Open();
    answers.Reply(wxID_NO);
    Click(dlg.m_btnQuit);
    ASSERT_EQ(answers.seen.size(), 1u);
    EXPECT_EQ(answers.seen[0].message, strings::kQuitConfirm);
    EXPECT_EQ(answers.seen[0].caption, "calvex");
    EXPECT_TRUE(answers.seen[0].style & wxYES_NO);
    test::PumpPending();
    EXPECT_FALSE(IsDestroyed());
    EXPECT_TRUE(dlg.IsShown());
}

TEST_F(QuitTest, AnsweringYesEndsTheWindow)
{
    ui::CCalvexDlg& dlg = Open();
    answers.Reply(wxID_YES);
    Click(dlg.m_btnQuit);
    EXPECT_TRUE(test::PumpUntil([this] { return IsDestroyed(); }));
}

TEST_F(QuitTest, MenuQuitAsksTheSameQuestion)
{
    ui::CCalvexDlg& dlg = Open();
    answers.Reply(wxID_NO);
    test::ChooseMenuCommand(&dlg, "ID_FILE_QUIT");
    EXPECT_EQ(answers.Messages(), std::vector<wxString>{strings::kQuitConfirm});
    answers.Reply(wxID_YES);
    test::ChooseMenuCommand(&dlg, "ID_FILE_QUIT");
    EXPECT_TRUE(test::PumpUntil([this] { return IsDestroyed(); }));
}

TEST_F(QuitTest, MenuAboutOpensTheAboutBox)
{
    ui::CCalvexDlg& dlg = Open();
    answers.Reply(wxID_OK);
    test::ChooseMenuCommand(&dlg, "ID_FILE_ABOUT");
    ASSERT_EQ(answers.seen.size(), 1u);
    EXPECT_EQ(answers.seen[0].kind, "about");
    EXPECT_EQ(answers.seen[0].caption, "About Calvex");
}

TEST(AboutBoxTest, ShowsIconVersionPictureAndButtons)
{
    ui::CAboutDlg about(nullptr);
    EXPECT_EQ(about.GetTitle(), "About Calvex");
    EXPECT_EQ(XRCCTRL(about, "IDC_VERSION_LINE", wxStaticText)->GetLabel(), strings::kVersionLine);
    EXPECT_EQ(XRCCTRL(about, "IDC_SECOND_LINE", wxStaticText)->GetLabel(),
              strings::kAboutSecondLine);
    EXPECT_EQ(XRCCTRL(about, "wxID_OK", wxButton)->GetLabel(), "OK");
    EXPECT_EQ(XRCCTRL(about, "IDC_WEBSITE", wxButton)->GetLabel(), "WebSite");
    const wxBitmap picture = XRCCTRL(about, "IDB_ABOUT_PICTURE", wxStaticBitmap)->GetBitmap();
    EXPECT_EQ(picture.GetSize(), wxSize(367, 151));
    EXPECT_EQ(XRCCTRL(about, "IDR_MAINFRAME", wxStaticBitmap)->GetBitmap().GetSize(),
              wxSize(32, 32));
}

} // namespace
