// SPDX-License-Identifier: GPL-2.0-or-later
// Files for a standalone DivX/Xvid player, read back from the output: the
// picture within 720x576/720x480 in its shape, Advanced Simple without
// quarter-pixel or global motion, no two B-frames in a row, the rate buffer
// kept; and the largest picture any encoder can be held to.
#include "test_support.h"

#include "media/encoder_settings.h"

#include <gtest/gtest.h>

#include <sstream>

namespace calvex::media::test {
namespace {

FilterPtr StandaloneEncoder(const std::string& key,
                            const std::vector<std::pair<std::string, std::string>>& more = {})
{
    const FilterPtr filter = BindEncoder(Category::VideoCompressor, key);
    const auto pages = filter->QueryPropertyPages();
    EXPECT_TRUE(pages->SetValue("player", "standalone"));
    for (const auto& [name, value] : more)
        EXPECT_TRUE(pages->SetValue(name, value)) << name;
    return filter;
}

// "WIDTH,HEIGHT,SAR" of the output's picture.
std::string PictureOf(const fs::path& file)
{
    return Probe(file, "v:0", "stream=width,height,sample_aspect_ratio");
}

// The most B-frames in a row among the decoded pictures.
size_t LongestBRun(const fs::path& file)
{
    std::istringstream types(Probe(file, "v:0", "frame=pict_type"));
    size_t longest = 0, run = 0;
    for (std::string type; types >> type;) {
        run = type == "B" ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}

// True when some picture header of the file uses quarter-pixel or global
// motion (the decoder's "qpel" and warping points in its picture log).
bool UsesQpelOrGmc(const fs::path& file)
{
    const std::string log = Shell("ffmpeg -nostdin -v debug -debug pict -t 3 -i " + Quote(file) +
                                  " -f null - 2>&1 | grep -o ' qpel part\\| w:[1-9] a:' | head -1");
    return !log.empty();
}

// The lowest fullness, in bits, of a 384 KiB rate buffer filled at 4854
// kbit/s that the pictures are taken from; negative when it runs dry.
double LowestRateBuffer(const fs::path& file, double frameRate)
{
    std::istringstream sizes(Probe(file, "v:0", "packet=size"));
    const double buffer = 3145728, rate = 4854000;
    double full = buffer, lowest = buffer;
    for (double bytes = 0; sizes >> bytes;) {
        full -= bytes * 8;
        lowest = std::min(lowest, full);
        full = std::min(buffer, full + rate / frameRate);
    }
    return lowest;
}

TEST(PlayerProfile, AStandalonePlayersFileKeepsToItsProfile)
{
    // A 1080p 30 fps source asking for two B-frames and quarter-pixel motion,
    // and a busy picture that needs more than the peak rate at its quantiser.
    const auto wide =
        MakeClip("wide1080.mp4", "-f lavfi -i testsrc2=size=1920x1080:rate=30:duration=2,"
                                 "noise=alls=12:allf=t -c:v libx264 -preset ultrafast -crf 16");
    for (const std::string encoder : {"mpeg4", "libxvid"}) {
        const auto output = WorkDir() / ("standalone-" + encoder + ".avi");
        const auto filter = StandaloneEncoder(encoder, {{"bf", "2"}, {"flags", "qpel"}});
        ASSERT_EQ(RunJob({wide, output, "", "-", filter}).eventCode, EC_COMPLETE) << encoder;
        EXPECT_EQ(PictureOf(output), "720,406,1:1") << encoder; // 720x480's box, 16:9
        EXPECT_EQ(Probe(output, "v:0", "stream=profile"), "Advanced Simple Profile");
        EXPECT_EQ(LongestBRun(output), 1u) << encoder;
        EXPECT_FALSE(UsesQpelOrGmc(output)) << encoder;
        EXPECT_GE(LowestRateBuffer(output, 30), 0) << encoder;
        EXPECT_TRUE(Decodes(output)) << encoder;
    }
    // A portrait 60 fps phone clip at 25 fps' box: upright, halved to 30 fps.
    const auto portrait =
        MakeClip("portrait60.mp4", "-f lavfi -i testsrc2=size=720x1280:rate=60:duration=1 "
                                   "-c:v libx264 -preset ultrafast");
    const auto upright = WorkDir() / "standalone-portrait.avi";
    ASSERT_EQ(RunJob({portrait, upright, "", "-", StandaloneEncoder("mpeg4")}).eventCode,
              EC_COMPLETE);
    EXPECT_EQ(PictureOf(upright), "270,480,1:1");
    EXPECT_EQ(Probe(upright, "v:0", "stream=r_frame_rate"), "30/1");
}

TEST(PlayerProfile, AnyEncodersPictureIsScaledDownToTheLargestAskedNeverUp)
{
    // Anamorphic 16:9 PAL (720x576 stored): shown 1024x576, so it does not fit
    // 720x576 as it stands and becomes square-pixelled 720x406 (405 rounded even).
    const auto anamorphic =
        MakeClip("anamorphic-pal.mkv", "-f lavfi -i testsrc2=size=720x576:rate=25:duration=1 "
                                       "-vf setsar=64/45 -c:v ffv1");
    auto convert = [&](const std::string& encoder, const std::string& largest) {
        const FilterPtr filter = BindEncoder(Category::VideoCompressor, encoder);
        EXPECT_TRUE(filter->QueryPropertyPages()->SetValue("largest", largest));
        const auto output = WorkDir() / ("largest-" + encoder + largest + ".avi");
        EXPECT_EQ(RunJob({anamorphic, output, "", "-", filter}).eventCode, EC_COMPLETE);
        return PictureOf(output);
    };
    EXPECT_EQ(convert("mjpeg", "dvd"), "720,406,1:1");
    EXPECT_EQ(convert("libx264", "640x480"), "640,360,1:1");
    EXPECT_EQ(convert("mpeg4", "1920x1080"), "720,576,64:45"); // fits: left as it is
    EXPECT_FALSE(BindEncoder(Category::VideoCompressor, "mpeg4")
                     ->QueryPropertyPages()
                     ->SetValue("largest", "720by576"));
}

} // namespace
} // namespace calvex::media::test
