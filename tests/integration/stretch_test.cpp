// SPDX-License-Identifier: GPL-2.0-or-later
// Xvid, which codes on one thread, coded in stretches side by side: every
// picture comes out once and in its place across the stretches' joins, from
// sources whose groups of pictures are closed or open, with the sound kept
// as it was and in step, as FFmpeg's and GStreamer's demuxers read it.
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>

extern "C" {
#include <libavutil/cpu.h>
}

namespace calvex::media::test {
namespace {

// The lowest PSNR (dB) of a's pictures against b's, one by one: a picture
// missing, repeated or out of place at a join shows as a drop far below
// the coding's loss (testsrc2's pictures all differ).
double LowestPsnr(const fs::path& a, const fs::path& b)
{
    const std::string values =
        Shell("ffmpeg -nostdin -v error -i " + Quote(a) + " -i " + Quote(b) +
              " -lavfi '[0:v][1:v]psnr=stats_file=-' -f null - | grep -o 'psnr_avg:[0-9.inf]*'"
              " | cut -d: -f2");
    std::istringstream lines(values);
    double lowest = INFINITY;
    for (std::string value; lines >> value;)
        lowest = std::min(lowest, value == "inf" ? 99.0 : std::stod(value));
    return lowest;
}

// The pictures, counted from 0, that start with a key frame.
std::vector<int> KeyPictures(const fs::path& file)
{
    std::istringstream flags(Probe(file, "v:0", "packet=flags"));
    std::vector<int> keys;
    int index = 0;
    for (std::string flag; flags >> flag; ++index)
        if (flag.front() == 'K')
            keys.push_back(index);
    return keys;
}

struct StretchSource {
    std::string name;
    std::string arguments; // ffmpeg's codec arguments for the 24 s, 600-picture clip
    int firstJoin;         // where the first stretch ends
};

void PrintTo(const StretchSource& source, std::ostream* out)
{
    *out << source.name;
}

class Stretches : public ::testing::TestWithParam<StretchSource> {};

TEST_P(Stretches, KeepEveryPictureInItsPlace)
{
    if (av_cpu_count() < 2)
        GTEST_SKIP() << "one core: the pictures are coded as one stretch";
    const StretchSource& source = GetParam();
    const auto input = MakeClip(source.name, "-f lavfi -i testsrc2=size=320x240:rate=25:duration=24"
                                             " -f lavfi -i sine=frequency=440:duration=24 " +
                                                 source.arguments);
    const JobRequest request{input, WorkDir() / ("stretches-" + source.name + ".avi"), "libxvid"};
    const JobResult result = RunJob(request);
    ASSERT_EQ(result.eventCode, EC_COMPLETE) << result.reason;
    EXPECT_TRUE(Decodes(request.output));
    EXPECT_EQ(CountVideoFrames(request.output), 600);
    EXPECT_EQ(PicturesAsGStreamerReadsThem(request.output), 600);
    EXPECT_GT(LowestPsnr(request.output, input), 30.0);
    // Stretches of 250 to 500 pictures, each begun at a key frame of the
    // source's (Xvid alone puts one every 250).
    const std::vector<int> keys = KeyPictures(request.output);
    EXPECT_EQ(std::count(keys.begin(), keys.end(), source.firstJoin), 1);
    EXPECT_EQ(AudioPacketsMd5(request.output), AudioPacketsMd5(input));
    EXPECT_NEAR(DecodedSpan(request.output, "v:0").first, DecodedSpan(request.output, "a:0").first,
                0.040);
    EXPECT_NEAR(DecodedSpan(request.output, "a:0").second, 24.0, 0.045);
}

INSTANTIATE_TEST_SUITE_P(
    Sources, Stretches,
    ::testing::Values(
        // Closed groups of 60 with B-frames, each picture up to 12 ms off
        // its place: a stretch ends where the next one's first picture is
        // shown, not where its own last one ends.
        StretchSource{"stretch-h264.mkv",
                      "-vf \"setpts='(N/25+0.012*sin(N*1.7))/TB'\" -vsync vfr -c:v libx264 "
                      "-preset ultrafast -g 60 -bf 3 -c:a aac",
                      300},
        // Open groups of 15: the B-frames shown before each key frame refer
        // to the group before, and belong to the stretch before.
        StretchSource{"stretch-mpeg2.ts", "-c:v mpeg2video -g 15 -bf 2 -b:v 2M -c:a mp2", 510}),
    [](const auto& info) { return std::to_string(info.index); });

} // namespace
} // namespace calvex::media::test
