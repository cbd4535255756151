// SPDX-License-Identifier: GPL-2.0-or-later
// A whole conversion of a generated clip driven through the window, on the
// FFmpeg engine; the AVI it writes is read back with ffprobe.
#include <cstdio>
#include <filesystem>
#include <unistd.h>

#include <gtest/gtest.h>

#include <wx/button.h>
#include <wx/clntdata.h>
#include <wx/combobox.h>
#include <wx/gauge.h>
#include <wx/textctrl.h>
#include <wx/weakref.h>
#include <wx/xrc/xmlres.h>

#include "job/job_slots.h"
#include "media/ffmpeg/ffmpeg_engine.h"
#include "res/strings.h"
#include "ui/main_dialog.h"
#include "ui_test_support.h"

using namespace calvex;
namespace fs = std::filesystem;

namespace {

// Runs a shell command line; returns its standard output.
std::string Shell(const std::string& command)
{
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        for (int c; (c = std::fgetc(pipe)) != EOF;)
            output += static_cast<char>(c);
        pclose(pipe);
    }
    return output;
}

fs::path WorkDir()
{
    const fs::path dir = fs::path(CALVEX_UI_TEST_WORK_DIR) / std::to_string(getpid());
    fs::create_directories(dir);
    return dir;
}

// Selects the list entry of the device with key, as the user's choice does.
bool SelectByKey(wxComboBox& list, const wxString& key)
{
    for (unsigned i = 0; i < list.GetCount(); ++i) {
        const auto* data = dynamic_cast<wxStringClientData*>(list.GetClientObject(i));
        if (data && data->GetData() == key) {
            list.SetSelection(static_cast<int>(i));
            wxCommandEvent change(wxEVT_COMBOBOX, list.GetId());
            change.SetEventObject(&list);
            list.ProcessWindowEvent(change);
            return true;
        }
    }
    return false;
}

class RealConversionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = WorkDir();
        source = dir / "clip source.mkv";
        output = dir / "clip output.avi";
        Shell("ffmpeg -nostdin -y -v error -f lavfi -i testsrc=duration=2:size=160x120:rate=25 "
              "-f lavfi -i sine=duration=2 -c:v libx264 -pix_fmt yuv420p -c:a pcm_s16le '" +
              source.string() + "'");
        ASSERT_TRUE(fs::exists(source)) << "cannot make the test clip";
        window = new ui::CCalvexDlg(media::CreateFfmpegEngine(), slots);
        alive = window;
        window->Show();
    }

    void TearDown() override
    {
        if (alive)
            alive->Close();
        EXPECT_TRUE(test::PumpUntil([this] { return !alive; }));
        fs::remove_all(dir);
    }

    fs::path dir, source, output;
    job::JobSlots slots;
    ui::CCalvexDlg* window = nullptr;
    wxWeakRef<ui::CCalvexDlg> alive;
    test::DialogAnswers answers;
};

TEST_F(RealConversionTest, ConvertsAGeneratedClipIntoAPlayableAvi)
{
    ui::CCalvexDlg& dlg = *window;
    ASSERT_GT(dlg.m_cbVideoCompressor->GetCount(), 0u);
    ASSERT_TRUE(SelectByKey(*dlg.m_cbVideoCompressor, "mpeg4"));
    answers.ReplyFile(wxString::FromUTF8(source.string()));
    test::Click(XRCCTRL(dlg, "IDC_BROWSE_SOURCE", wxButton));
    answers.ReplyFile(wxString::FromUTF8(output.string()));
    test::Click(XRCCTRL(dlg, "IDC_BROWSE_OUTPUT", wxButton));
    ASSERT_EQ(dlg.m_strOutputFile, wxString::FromUTF8(output.string()));

    answers.onEnter = [&dlg](wxDialog&, test::DialogAnswers::Seen& seen) {
        seen.gaugeValue = dlg.m_progress->GetValue();
    };
    answers.Reply(wxID_OK);
    test::Click(dlg.m_btnConvert);

    ASSERT_TRUE(test::PumpUntil([&] { return !dlg.IsJobRunning(); }, std::chrono::seconds(90)));
    ASSERT_EQ(answers.Messages().size(), 1u);
    EXPECT_EQ(answers.Messages()[0], strings::kOutcomeComplete);
    EXPECT_EQ(answers.seen.back().gaugeValue, 100);
    EXPECT_EQ(dlg.m_progress->GetValue(), 0);
    EXPECT_EQ(dlg.m_editStatus->GetValue(), strings::kStatusCompleted);

    EXPECT_EQ(Shell("ffprobe -v error -count_frames -show_entries stream=codec_name,nb_read_frames "
                    "-of csv=p=0 '" +
                    output.string() + "'"),
              "mpeg4,50\npcm_s16le,87\n");
}

} // namespace
