// SPDX-License-Identifier: GPL-2.0-or-later
// The settings sheets of real encoders, on the FFmpeg engine: the groups and
// rows each shows, in plain words, its switches as the encoder has them,
// changes that reach the file written (read back with ffprobe), settings
// that stay after a conversion has bound a new instance of the encoder.
#include <cctype>
#include <cstdlib>
#include <filesystem>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/propgrid/propgrid.h>
#include <wx/stattext.h>

#include "media/ffmpeg/ffmpeg_engine.h"
#include "res/strings.h"
#include "ui/settings_sheet.h"
#include "window_fixture.h"

using namespace calvex;
namespace fs = std::filesystem;
using Names = std::vector<std::string>;
using Sheet = ui::PropertySheetDialog;

using test::Choose;
using test::Press;

namespace {

class EncoderSheetTest : public test::WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        fs::create_directories(m_dir);
        if (!fs::exists(m_source))
            test::Shell("ffmpeg -nostdin -y -v error -f lavfi -i "
                        "testsrc2=duration=2:size=320x240:rate=25 -f lavfi -i sine=duration=2 "
                        "-c:v ffv1 -c:a pcm_s16le '" +
                        m_source.string() + "'");
        media::StartMediaEngine();
        Open(media::CreateFfmpegEngine());
    }

    // Opens the sheet of the button's compressor; act runs in it and ends it.
    // (A GTK or GDK critical message meanwhile fails the test: test_main.cpp.)
    void InSheet(wxButton* properties, std::function<void(Sheet&)> act)
    {
        test::OnPropertySheet(answers, std::move(act));
        test::Click(properties);
    }

    static void Set(Sheet& sheet, const char* name, const wxString& shown)
    {
        ASSERT_NE(sheet.GetRow(name), nullptr) << name;
        sheet.GetGrid()->SetPropertyValueString(sheet.GetRow(name), shown);
    }

    static wxString Shown(Sheet& sheet, const char* name)
    {
        return sheet.GetRow(name) ? sheet.GetRow(name)->GetValueAsString() : "(no row)";
    }

    static Names RowsOf(Sheet& sheet, size_t group)
    {
        Names names;
        wxPGProperty* heading = sheet.GetGroups().at(group);
        for (unsigned i = 0; i < heading->GetChildCount(); ++i)
            names.push_back(heading->Item(i)->GetName().utf8_string());
        return names;
    }

    // The rows still named by FFmpeg's key, or without help on what they do.
    static Names RowsNotInPlainWords(Sheet& sheet)
    {
        Names rows;
        for (wxPGProperty* group : sheet.GetGroups())
            for (unsigned i = 0; i < group->GetChildCount(); ++i) {
                wxPGProperty* row = group->Item(i);
                if (row->GetLabel() == row->GetName() || row->GetHelpString().empty())
                    rows.push_back(row->GetName().utf8_string());
            }
        return rows;
    }

    // Converts the source into name through the window; the output's path.
    fs::path Convert(const std::string& name)
    {
        const fs::path output = m_dir / name;
        window->UpdateData(true); // the keep-audio box as the test left it
        SetPaths(wxString::FromUTF8(m_source.string()), wxString::FromUTF8(output.string()));
        answers.Reply(wxID_OK);
        test::Click(window->m_btnConvert);
        EXPECT_TRUE(
            test::PumpUntil([&] { return !window->IsJobRunning(); }, std::chrono::seconds(90)));
        const std::vector<wxString> messages = answers.Messages();
        EXPECT_EQ(messages.empty() ? wxString() : messages.back(), strings::kOutcomeComplete);
        EXPECT_EQ(window->m_editStatus->GetValue(), strings::kStatusCompleted);
        return output;
    }

    static std::string Probe(const fs::path& file, const char* stream, const char* entries)
    {
        return test::Shell(std::string("ffprobe -v error -select_streams ") + stream +
                           " -show_entries " + entries + " -of csv=p=0 '" + file.string() + "'");
    }

private:
    fs::path m_dir = fs::path(CALVEX_UI_TEST_WORK_DIR) / "encoder sheets";
    fs::path m_source = m_dir / "source.mkv";
};

// Every row of the sheets most used named for what it does, with help on
// what it costs and gains; the sheet's first line says where the files play.
TEST_F(EncoderSheetTest, EveryRowIsNamedInPlainWordsWithHelp)
{
    const auto check = [this](wxComboBox* list, wxButton* properties, const char* encoder) {
        Choose(list, encoder);
        InSheet(properties, [encoder](Sheet& sheet) {
            EXPECT_FALSE(RowsOf(sheet, 0).empty()) << encoder;
            EXPECT_EQ(RowsNotInPlainWords(sheet), Names{}) << encoder;
            EXPECT_TRUE(sheet.GetWherePlays()->GetLabel().StartsWith("Plays on: ")) << encoder;
            Press(sheet, wxID_CANCEL);
        });
    };
    for (const char* encoder : {"MPEG-4 part 2", "libxvidcore MPEG-4 part 2", "MJPEG (Motion JPEG)",
                                "libx264 H.264 / AVC / MPEG-4 AVC / MPEG-4 part 10"})
        check(window->m_cbVideoCompressor, window->m_btnVideoProperties, encoder);
    for (const char* encoder : {"libmp3lame MP3 (MPEG audio layer 3)", "ATSC A/52A (AC-3)"})
        check(window->m_cbAudioCompressor, window->m_btnAudioProperties, encoder);
}

TEST_F(EncoderSheetTest, Mpeg4StartsAtAFixedQuantiserAndKeepsItsSettingsAfterAConversion)
{
    Choose(window->m_cbVideoCompressor, "MPEG-4 part 2");
    InSheet(window->m_btnVideoProperties, [](Sheet& sheet) {
        EXPECT_EQ(RowsOf(sheet, 0),
                  (Names{"qscale", "b", "maxrate", "g", "bf", "threads", "targetsize"}));
        EXPECT_EQ(RowsOf(sheet, 1).at(0), "player");
        EXPECT_EQ(Shown(sheet, "player"), "Computers");
        EXPECT_EQ(sheet.GetRow("qscale")->GetLabel(), "Quality");
        EXPECT_EQ(Shown(sheet, "qscale"), "4");
        // FFmpeg's named values renamed; its flags a user looks for as switches.
        EXPECT_EQ(Shown(sheet, "motion_est"), "Predictive zonal search (EPZS)");
        EXPECT_FALSE(sheet.GetRow("flags:qpel")->GetValue().GetBool());
        Set(sheet, "bf", "2");
        sheet.GetGrid()->SetPropertyValue(sheet.GetRow("flags:qpel"), true);
        Set(sheet, "mbd", "Rate-distortion (best, slow)");
        Press(sheet, wxID_OK);
    });
    const fs::path output = Convert("mpeg4.avi");
    EXPECT_EQ(test::Shell("ffmpeg -v debug -debug pict -i '" + output.string() +
                          "' -t 1 -f null - 2>&1 | grep -o ' [hq]pel part' | sort -u"),
              " qpel part\n");
    EXPECT_NE(test::Shell("ffprobe -v error -show_entries frame=pict_type -of csv=p=0 '" +
                          output.string() + "' | grep -c B"),
              "0\n");
    InSheet(window->m_btnVideoProperties, [](Sheet& sheet) {
        EXPECT_EQ(Shown(sheet, "bf"), "2");
        EXPECT_TRUE(sheet.GetRow("flags:qpel")->GetValue().GetBool());
        EXPECT_EQ(Shown(sheet, "flags"), "");
        EXPECT_EQ(Shown(sheet, "mbd"), "Rate-distortion (best, slow)");
        Press(sheet, wxID_CANCEL);
    });
}

TEST_F(EncoderSheetTest, X264ShowsItsPresetsAndItsOwnSwitchesAndTakesThemOff)
{
    Choose(window->m_cbVideoCompressor, "libx264 H.264 / AVC / MPEG-4 AVC / MPEG-4 part 10");
    InSheet(window->m_btnVideoProperties, [](Sheet& sheet) {
        EXPECT_EQ(RowsOf(sheet, 0),
                  (Names{"crf", "b", "maxrate", "g", "bf", "threads", "targetsize"}));
        EXPECT_EQ(Shown(sheet, "crf"), "23");
        EXPECT_EQ(RowsOf(sheet, 1).at(0), "preset");
        EXPECT_EQ(Shown(sheet, "preset"), "Medium");
        EXPECT_EQ(Shown(sheet, "tune"), "Nothing in particular");
        EXPECT_EQ(Shown(sheet, "aq-mode"), "By detail");               // x264's own for FFmpeg's -1
        EXPECT_TRUE(sheet.GetRow("flags:cgop")->GetValue().GetBool()); // FFmpeg's default for x264
        EXPECT_TRUE(sheet.GetRow("mbtree")->GetValue().GetBool());
        EXPECT_FALSE(sheet.GetRow("forced-idr")->GetValue().GetBool());
        Set(sheet, "profile", "Main (older players and TVs)");
        sheet.GetGrid()->SetPropertyValue(sheet.GetRow("flags:ildct"), true);
        sheet.GetGrid()->SetPropertyValue(sheet.GetRow("mbtree"), false);
        Press(sheet, wxID_OK);
    });
    const fs::path output = Convert("x264.avi");
    EXPECT_EQ(Probe(output, "v:0", "stream=profile,field_order"), "Main,tt\n");
    EXPECT_EQ(test::Shell("strings '" + output.string() + "' | grep -o 'mbtree=[0-9]' | head -1"),
              "mbtree=0\n");
}

TEST_F(EncoderSheetTest, MjpegHasNeitherKeyFramesNorBFramesAndItsQualitySetsTheRate)
{
    Choose(window->m_cbVideoCompressor, "MJPEG (Motion JPEG)");
    const fs::path fine = Convert("mjpeg-6.avi");
    InSheet(window->m_btnVideoProperties, [](Sheet& sheet) {
        EXPECT_EQ(RowsOf(sheet, 0), (Names{"qscale", "b", "threads"}));
        EXPECT_EQ(Shown(sheet, "qscale"), "6");
        EXPECT_FALSE(sheet.GetRow("force_duplicated_matrix")->GetValue().GetBool());
        EXPECT_EQ(Shown(sheet, "huffman"), "Optimal per picture");
        Set(sheet, "qscale", "24");
        Press(sheet, wxID_OK);
    });
    const fs::path coarse = Convert("mjpeg-24.avi");
    const auto bitRate = [](const fs::path& file) {
        const std::string said = Probe(file, "v:0", "stream=bit_rate");
        EXPECT_TRUE(!said.empty() && std::isdigit(static_cast<unsigned char>(said[0]))) << said;
        return std::atol(said.c_str());
    };
    EXPECT_GT(bitRate(fine), 2 * bitRate(coarse));
}

// MP3 in AVI at a constant rate, as every reader takes it: chosen from the
// channels (96 kbit/s each), or as set; constant quality is a choice.
TEST_F(EncoderSheetTest, Mp3StartsAtAConstantRateAndItsQualityIsAChoice)
{
    Choose(window->m_cbVideoCompressor, "MPEG-4 part 2");
    Choose(window->m_cbAudioCompressor, "libmp3lame MP3 (MPEG audio layer 3)");
    answers.Reply(wxID_OK); // the caution about re-encoding sound
    test::Click(window->m_btnKeepAudio);
    InSheet(window->m_btnAudioProperties, [](Sheet& sheet) {
        EXPECT_EQ(RowsOf(sheet, 0), (Names{"ratemode", "qscale", "b"}));
        EXPECT_EQ(Shown(sheet, "ratemode"), "Constant bit rate");
        EXPECT_EQ(Shown(sheet, "qscale"), "2");
        EXPECT_EQ(Shown(sheet, "b"), "0");
        EXPECT_TRUE(sheet.GetRow("reservoir")->GetValue().GetBool());
        EXPECT_TRUE(sheet.GetRow("joint_stereo")->GetValue().GetBool());
        EXPECT_FALSE(sheet.GetRow("abr")->GetValue().GetBool());
        Press(sheet, wxID_CANCEL);
    });
    // The clip's sound is mono: 96 kbit/s, said in the header's bytes per second too.
    EXPECT_EQ(Probe(Convert("mp3-constant.avi"), "a:0", "stream=codec_name,bit_rate"),
              "mp3,96000\n");
    InSheet(window->m_btnAudioProperties, [](Sheet& sheet) {
        Set(sheet, "b", "128");
        sheet.GetGrid()->SetPropertyValue(sheet.GetRow("joint_stereo"), false);
        Press(sheet, wxID_OK);
    });
    EXPECT_EQ(Probe(Convert("mp3.avi"), "a:0", "stream=codec_name,bit_rate"), "mp3,128000\n");
    InSheet(window->m_btnAudioProperties, [](Sheet& sheet) {
        EXPECT_EQ(Shown(sheet, "b"), "128");
        EXPECT_FALSE(sheet.GetRow("joint_stereo")->GetValue().GetBool());
        Set(sheet, "ratemode", "Constant quality (variable bit rate)");
        Set(sheet, "qscale", "7");
        Press(sheet, wxID_OK);
    });
    // VBR level 7 spends far less than 128 kbit/s on a sine.
    const std::string variable = Probe(Convert("mp3-quality.avi"), "a:0", "stream=bit_rate");
    EXPECT_LT(std::stol(variable), 100000) << variable;
}

} // namespace
