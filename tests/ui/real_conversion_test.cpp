// SPDX-License-Identifier: GPL-2.0-or-later
// A whole conversion of a generated clip driven through the window, on the
// FFmpeg engine; the AVI it writes is read back with ffprobe.
#include <filesystem>

#include <wx/button.h>
#include <wx/combobox.h>
#include <wx/gauge.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include "media/ffmpeg/ffmpeg_engine.h"
#include "res/strings.h"
#include "window_fixture.h"

using namespace calvex;
namespace fs = std::filesystem;

namespace {

class RealConversionTest : public test::WindowTest {};

TEST_F(RealConversionTest, ConvertsAGeneratedClipIntoAPlayableAvi)
{
    const fs::path dir = fs::path(CALVEX_UI_TEST_WORK_DIR) / "real conversion";
    fs::create_directories(dir);
    const fs::path source = dir / "clip source.mkv", output = dir / "clip output.avi";
    test::Shell("ffmpeg -nostdin -y -v error -f lavfi -i testsrc=duration=2:size=160x120:rate=25 "
                "-f lavfi -i sine=duration=2 -c:v libx264 -pix_fmt yuv420p -c:a pcm_s16le '" +
                source.string() + "'");
    media::StartMediaEngine();
    ui::CCalvexDlg& dlg = Open(media::CreateFfmpegEngine());
    test::Choose(dlg.m_cbVideoCompressor, "MPEG-4 part 2");
    answers.ReplyFile(wxString::FromUTF8(source.string()));
    test::Click(XRCCTRL(dlg, "IDC_BROWSE_SOURCE", wxButton));
    answers.ReplyFile(wxString::FromUTF8(output.string()));
    test::Click(XRCCTRL(dlg, "IDC_BROWSE_OUTPUT", wxButton));
    answers.Reply(wxID_OK);
    test::Click(dlg.m_btnConvert);

    ASSERT_TRUE(test::PumpUntil([&] { return !dlg.IsJobRunning(); }, std::chrono::seconds(90)));
    EXPECT_EQ(answers.Messages(), std::vector<wxString>{strings::kOutcomeComplete});
    EXPECT_EQ(dlg.m_editStatus->GetValue(), strings::kStatusCompleted);
    EXPECT_EQ(
        test::Shell("ffprobe -v error -count_frames -show_entries stream=codec_name,nb_read_frames "
                    "-of csv=p=0 '" +
                    output.string() + "'"),
        "mpeg4,50\npcm_s16le,87\n");
}

} // namespace
