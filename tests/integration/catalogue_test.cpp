// The compressor catalogue: every listed encoder really converts; property
// pages and presets reach the encoder.
#include "test_support.h"

#include "media/encoder_settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <set>

namespace calvex::media::test {
namespace {

const std::string kOneSecond =
    "-f lavfi -i testsrc=size=160x120:rate=25:duration=1 -f lavfi -i "
    "sine=frequency=440:sample_rate=44100:duration=1 -c:v ffv1 -c:a flac";

std::vector<MonikerPtr> Catalogue(Category category)
{
    return Engine()->CreateDeviceEnumerator()->CreateClassEnumerator(category);
}

TEST(Catalogue, ListsUniqueKeysAndNoHardwareWrappers)
{
    for (Category category : {Category::VideoCompressor, Category::AudioCompressor}) {
        const auto monikers = Catalogue(category);
        EXPECT_GT(monikers.size(), 5u);
        std::set<std::string> keys;
        for (const MonikerPtr& moniker : monikers) {
            EXPECT_TRUE(keys.insert(moniker->Key()).second) << moniker->Key();
            EXPECT_FALSE(moniker->FriendlyName().empty());
            for (const std::string hardware : {"_vaapi", "_qsv", "_nvenc", "_v4l2m2m", "_omx"})
                EXPECT_EQ(moniker->Key().find(hardware), std::string::npos) << moniker->Key();
        }
    }
    const auto video = Catalogue(Category::VideoCompressor);
    EXPECT_TRUE(
        std::any_of(video.begin(), video.end(), [](auto& m) { return m->Key() == "mpeg4"; }));
}

TEST(Catalogue, SharedFriendlyNamesBindTheirOwnEncoder)
{
    const auto audio = Catalogue(Category::AudioCompressor);
    std::set<std::string> ac3Keys;
    for (const MonikerPtr& moniker : audio)
        if (moniker->FriendlyName() == "ATSC A/52A (AC-3)")
            ac3Keys.insert(moniker->Key());
    EXPECT_EQ(ac3Keys, (std::set<std::string>{"ac3", "ac3_fixed"}));
}

TEST(Catalogue, EveryVideoEncoderMakesADecodableAvi)
{
    const auto input = MakeClip("catalogue.mkv", kOneSecond);
    ASSERT_FALSE(input.empty());
    for (const MonikerPtr& moniker : Catalogue(Category::VideoCompressor)) {
        SCOPED_TRACE(moniker->Key());
        const auto output = WorkDir() / "catalogue" / ("video-" + moniker->Key() + ".avi");
        std::filesystem::create_directories(output.parent_path());
        const JobResult result = RunJob({input, output, moniker->Key(), "-"});
        EXPECT_TRUE(result.videoRendered);
        EXPECT_EQ(result.eventCode, EC_COMPLETE);
        EXPECT_TRUE(Decodes(output));
    }
}

TEST(Catalogue, EveryAudioEncoderMakesADecodableAvi)
{
    const auto input = MakeClip("catalogue.mkv", kOneSecond);
    ASSERT_FALSE(input.empty());
    for (const MonikerPtr& moniker : Catalogue(Category::AudioCompressor)) {
        SCOPED_TRACE(moniker->Key());
        const auto output = WorkDir() / "catalogue" / ("audio-" + moniker->Key() + ".avi");
        std::filesystem::create_directories(output.parent_path());
        const JobResult result = RunJob({input, output, "mpeg4", moniker->Key()});
        EXPECT_TRUE(result.audioRendered);
        EXPECT_EQ(result.eventCode, EC_COMPLETE);
        EXPECT_TRUE(Decodes(output));
        EXPECT_GT(DecodedDuration(output, "a:0"), 0.5);
    }
}

TEST(PropertyPages, Mpeg4BitRateChangesTheOutput)
{
    // Noise, so that a higher bit rate has something to spend its bits on.
    const auto input = MakeClip("noisy.mkv", "-f lavfi -i testsrc=size=320x240:rate=25:duration=2 "
                                             "-vf noise=alls=60:allf=t -c:v ffv1");
    auto filter = BindEncoder(Category::VideoCompressor, "mpeg4");
    ASSERT_TRUE(filter);
    auto pages = filter->QueryPropertyPages();
    ASSERT_TRUE(pages);
    const auto settings = pages->GetPages();
    auto find = [&](const std::string& name) {
        return std::find_if(settings.begin(), settings.end(),
                            [&](const EncoderSetting& s) { return s.name == name; });
    };
    ASSERT_NE(find("b"), settings.end());
    EXPECT_EQ(find("b")->defaultValue, "200000");
    EXPECT_EQ(find("b")->type, SettingType::Integer);
    ASSERT_NE(find("g"), settings.end());
    ASSERT_NE(find("mpeg_quant"), settings.end());
    EXPECT_NE(find("bf"), settings.end());
    EXPECT_FALSE(pages->SetValue("b", "not a number"));
    EXPECT_FALSE(pages->SetValue("no_such_option", "1"));
    // The values belong to one filter instance only.
    auto other = BindEncoder(Category::VideoCompressor, "mpeg4")->QueryPropertyPages();
    ASSERT_TRUE(pages->SetValue("b", "200k"));
    EXPECT_EQ(pages->GetPages()[find("b") - settings.begin()].currentValue, "200k");
    const auto otherSettings = other->GetPages();
    for (const EncoderSetting& setting : otherSettings)
        if (setting.name == "b") {
            EXPECT_EQ(setting.currentValue, "200000");
        }

    auto convert = [&](const std::string& name, const std::string& bitRate) {
        JobRequest request(input, WorkDir() / name, "mpeg4", "-");
        request.videoOptions = {{"b", bitRate}};
        EXPECT_EQ(RunJob(request).eventCode, EC_COMPLETE);
        return std::filesystem::file_size(WorkDir() / name);
    };
    // The ffmpeg program given the same bit rate makes a file of about the same size.
    auto reference = [&](const std::string& bitRate) {
        const auto path = WorkDir() / ("reference-" + bitRate + ".avi");
        RunCommand("ffmpeg -nostdin -v error -y -i " + Quote(input) + " -c:v mpeg4 -b:v " +
                   bitRate + " " + Quote(path));
        return static_cast<double>(std::filesystem::file_size(path));
    };
    const auto small = convert("rate-200k.avi", "200k");
    const auto large = convert("rate-2M.avi", "2M");
    EXPECT_GT(large, small * 2);
    EXPECT_NEAR(small / reference("200k"), 1.0, 0.05);
    EXPECT_NEAR(large / reference("2M"), 1.0, 0.05);
}

TEST(PropertyPages, ChoicesAreNamed)
{
    auto pages = BindEncoder(Category::VideoCompressor, "mpeg4")->QueryPropertyPages();
    const auto settings = pages->GetPages();
    const auto motion = std::find_if(settings.begin(), settings.end(), [](const EncoderSetting& s) {
        return s.name == "motion_est";
    });
    ASSERT_NE(motion, settings.end());
    EXPECT_EQ(motion->type, SettingType::Choice);
    EXPECT_GE(motion->choices.size(), 3u);
    EXPECT_EQ(motion->defaultValue, "epzs");
    EXPECT_TRUE(pages->SetValue("motion_est", "zero"));
}

TEST(CodecDialog, X264PresetsAreOffered)
{
    auto x264 = BindEncoder(Category::VideoCompressor, "libx264");
    if (!x264)
        GTEST_SKIP() << "libx264 is not in the catalogue";
    auto dialog = x264->QueryCodecDialog();
    ASSERT_TRUE(dialog);
    const auto presets = dialog->Presets();
    ASSERT_EQ(presets.size(), 10u);
    EXPECT_EQ(presets.front(), "ultrafast");
    EXPECT_EQ(presets.back(), "placebo");
    EXPECT_EQ(dialog->CurrentPreset(), "medium");
    EXPECT_FALSE(dialog->ChoosePreset("warp speed"));
    EXPECT_TRUE(dialog->ChoosePreset("ultrafast"));
    EXPECT_EQ(dialog->CurrentPreset(), "ultrafast");
    EXPECT_EQ(
        BindEncoder(Category::VideoCompressor, "libx264")->QueryCodecDialog()->CurrentPreset(),
        "medium");
    EXPECT_FALSE(BindEncoder(Category::VideoCompressor, "mpeg4")->QueryCodecDialog());
}

TEST(CodecDialog, ChosenPresetReachesTheEncoder)
{
    auto x264 = BindEncoder(Category::VideoCompressor, "libx264");
    if (!x264)
        GTEST_SKIP() << "libx264 is not in the catalogue";
    const auto input = MakeClip("pages.mkv", "-f lavfi -i testsrc=size=320x240:rate=25:duration=2 "
                                             "-c:v ffv1");
    auto convert = [&](const std::string& preset) {
        auto builder = Engine()->CreateCaptureGraphBuilder();
        const auto output = WorkDir() / ("preset-" + preset + ".avi");
        FilterPtr mux = builder->SetOutputFileName(output);
        GraphPtr graph = builder->GetFiltergraph();
        FilterPtr source = graph->AddSourceFilter(input, "Source Filter");
        FilterPtr filter = BindEncoder(Category::VideoCompressor, "libx264");
        EXPECT_TRUE(filter->QueryCodecDialog()->ChoosePreset(preset));
        EXPECT_TRUE(builder->RenderStream(source, filter, mux));
        graph->QueryMediaControl()->Run();
        long code = -1;
        EXPECT_EQ(graph->QueryMediaEvent()->WaitForCompletion(INFINITE_WAIT, code),
                  WaitResult::Ended);
        EXPECT_EQ(code, EC_COMPLETE);
        return RunCommand("strings " + Quote(output) + " | grep -o 'subme=[0-9]*' | head -1")
            .output;
    };
    // x264 writes its settings into the stream; presets differ in sub-pixel search.
    EXPECT_EQ(convert("ultrafast"), "subme=0\n");
    EXPECT_EQ(convert("slow"), "subme=8\n");
}

} // namespace
} // namespace calvex::media::test
