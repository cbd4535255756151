// SPDX-License-Identifier: GPL-2.0-or-later
// The compressor catalogue: every listed encoder converts a clip; settings
// and presets reach the encoder.
#include "test_support.h"

#include "media/encoder_settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace calvex::media::test {
namespace {

TEST(Catalogue, EveryEncoderConvertsAClip)
{
    const auto input =
        MakeClip("catalogue.mkv", "-f lavfi -i testsrc=size=160x120:rate=25:duration=1"
                                  " -f lavfi -i sine=duration=1 -c:v ffv1 -c:a flac");
    for (Category category : {Category::VideoCompressor, Category::AudioCompressor}) {
        const bool video = category == Category::VideoCompressor;
        const auto monikers = Engine()->CreateDeviceEnumerator()->CreateClassEnumerator(category);
        EXPECT_GT(monikers.size(), 5u);
        std::set<std::string> keys;
        for (const MonikerPtr& moniker : monikers) {
            const std::string key = moniker->Key();
            SCOPED_TRACE(key);
            EXPECT_TRUE(keys.insert(key).second) << "listed twice";
            const auto output = WorkDir() / ("catalogue-" + key + (video ? "-v.avi" : "-a.avi"));
            EXPECT_EQ(RunJob({input, output, video ? key : "mpeg4", video ? "-" : key}).eventCode,
                      EC_COMPLETE);
            EXPECT_TRUE(Decodes(output, false));
            EXPECT_EQ(CountVideoFrames(output), 25);
            EXPECT_EQ(DecodedDuration(output, "a:0") > 0.5, !video); // a second of sound, if any
        }
    }
}

TEST(EncoderSettings, ReachTheEncoder)
{
    // Noise, so that a higher bit rate has something to spend its bits on.
    const auto input = MakeClip("noisy.mkv", "-f lavfi -i testsrc=size=320x240:rate=25:duration=2 "
                                             "-vf noise=alls=60:allf=t -c:v ffv1");
    auto convert = [&](const FilterPtr& filter, const std::string& name) {
        const auto output = WorkDir() / (name + ".avi");
        EXPECT_EQ(RunJob({input, output, "", "-", filter}).eventCode, EC_COMPLETE);
        return output;
    };
    auto mpeg4Size = [&](const std::string& name, const std::string& value) {
        const FilterPtr filter = BindEncoder(Category::VideoCompressor, "mpeg4");
        EXPECT_FALSE(filter->QueryPropertyPages()->SetValue(name, "not a number"));
        EXPECT_TRUE(filter->QueryPropertyPages()->SetValue(name, value));
        return fs::file_size(convert(filter, "mpeg4-" + name + value));
    };
    EXPECT_GT(mpeg4Size("b", "2M"), 2 * mpeg4Size("b", "200k"));
    EXPECT_GT(mpeg4Size("qscale", "2"), 2 * mpeg4Size("qscale", "20")); // the Quality setting
    // x264 writes its settings into the stream; presets differ in sub-pixel search.
    auto x264Subme = [&](const std::string& preset) {
        const FilterPtr filter = BindEncoder(Category::VideoCompressor, "libx264");
        EXPECT_FALSE(filter->QueryCodecDialog()->ChoosePreset("warp speed"));
        EXPECT_TRUE(preset.empty() || filter->QueryCodecDialog()->ChoosePreset(preset));
        return Shell("strings " + Quote(convert(filter, "x264-" + preset)) +
                     " | grep -o 'subme=[0-9]*' | head -1");
    };
    EXPECT_EQ(x264Subme("ultrafast"), "subme=0\n");
    EXPECT_EQ(x264Subme("slow"), "subme=8\n");
    EXPECT_EQ(x264Subme(""), "subme=7\n"); // a new encoder starts at medium
    EXPECT_FALSE(BindEncoder(Category::VideoCompressor, "mpeg4")->QueryCodecDialog());
}

// The FourCC players look for: MPEG-4 part 2 says XVID unless told
// otherwise, in its stream header; Xvid and MJPEG keep theirs.
TEST(EncoderSettings, FourCcOfTheFilesPictures)
{
    const auto input = MakeClip("small.mkv", "-f lavfi -i testsrc=size=320x240:rate=25:duration=1 "
                                             "-c:v ffv1");
    auto fourCc = [&](const std::string& encoder, const std::string& chosen) {
        const FilterPtr filter = BindEncoder(Category::VideoCompressor, encoder);
        EXPECT_TRUE(chosen.empty() || filter->QueryPropertyPages()->SetValue("fourcc", chosen));
        const auto output = WorkDir() / ("fourcc-" + encoder + chosen + ".avi");
        EXPECT_EQ(RunJob({input, output, "", "-", filter}).eventCode, EC_COMPLETE);
        return Probe(output, "v:0", "stream=codec_tag_string");
    };
    EXPECT_EQ(fourCc("mpeg4", ""), "XVID");
    for (const std::string chosen : {"DIVX", "DX50", "FMP4"})
        EXPECT_EQ(fourCc("mpeg4", chosen), chosen);
    EXPECT_FALSE(BindEncoder(Category::VideoCompressor, "mpeg4")
                     ->QueryPropertyPages()
                     ->SetValue("fourcc", "H264"));
    EXPECT_EQ(fourCc("libxvid", ""), "xvid");
    EXPECT_EQ(fourCc("mjpeg", ""), "MJPG");
}

} // namespace
} // namespace calvex::media::test
