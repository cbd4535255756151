// SPDX-License-Identifier: GPL-2.0-or-later
// Damaged files that once broke the converter, aborts at any moment, and a
// picture that changes size: each ends in time, with bounded output, an
// honest outcome and a file that plays.
#include "test_support.h"

#include <gtest/gtest.h>

#include <random>

namespace calvex::media::test {
namespace {

struct Damaged {
    std::string file, audio;
};

void PrintTo(const Damaged& damaged, std::ostream* out)
{
    *out << damaged.file << (damaged.audio.empty() ? "" : " to " + damaged.audio);
}

class DamagedFile : public ::testing::TestWithParam<Damaged> {};

TEST_P(DamagedFile, EndsInSecondsWithItsOwnLength)
{
    const fs::path input = fs::path(CALVEX_DAMAGED_DIR) / GetParam().file;
    // Named after the sound's encoder too: the tests of one file run side by side.
    const auto output = WorkDir() / ("damaged-" + GetParam().file + GetParam().audio + ".avi");
    const auto started = std::chrono::steady_clock::now();
    const JobResult result = RunJob({input, output, "mpeg4", GetParam().audio});
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count(),
              20.0);
    // Each is a clip of about 2 s: no more picture time than that, and honest.
    EXPECT_EQ(result.eventCode, EC_COMPLETE) << result.reason;
    EXPECT_LT(DecodedSpan(output, "v:0").second, 3.0);
    EXPECT_LT(fs::file_size(output), 2'000'000u);
    EXPECT_TRUE(Decodes(output, false));
}

INSTANTIATE_TEST_SUITE_P(Regressions, DamagedFile,
                         ::testing::Values(Damaged{"late-stream.ts", ""},
                                           Damaged{"late-stream.ts", "libmp3lame"},
                                           Damaged{"runaway-timestamp.flv", ""},
                                           Damaged{"runaway-timestamp-h264.flv", ""},
                                           Damaged{"runaway-timestamp-mp3.avi", "libmp3lame"}),
                         [](const auto& info) { return std::to_string(info.index); });

// Aborts at random moments: each stops within 2 s and leaves a playable file
// with pictures, its sound ending with them.
TEST(Aborts, AtAnyMomentLeaveAPlayableFileWhoseSoundEndsWithItsPictures)
{
    const auto input = MakeClip(
        "abort-720p.mp4", "-f lavfi -i testsrc2=size=1280x720:rate=25:duration=60 -f lavfi -i "
                          "sine=duration=60 -c:v libx264 -preset ultrafast -c:a aac");
    std::mt19937 random(std::random_device{}());
    std::uniform_real_distribution<double> moment(0.15, 3.0);
    const std::vector<std::pair<std::string, std::string>> encoders = {{"mpeg4", ""},
                                                                       {"libxvid", ""},
                                                                       {"libx264", ""},
                                                                       {"libx264", ""},
                                                                       {"libx264", "libmp3lame"}};
    for (const auto& [video, audio] : encoders) {
        JobRequest request{input, WorkDir() / ("abort-" + video + audio + ".avi"), video, audio};
        request.stopAfter = moment(random);
        SCOPED_TRACE(video + " " + audio + " stopped after " + std::to_string(request.stopAfter));
        const JobResult result = RunJob(request);
        EXPECT_EQ(result.eventCode, EC_NONE);
        EXPECT_LT(result.stopSeconds, 2.0);
        EXPECT_TRUE(Decodes(request.output, false));
        // An AVI's pictures have no stamps of their own: their time is their count.
        EXPECT_NEAR(DecodedSpan(request.output, "a:0").second,
                    CountVideoFrames(request.output) / 25.0, 0.5);
    }
}

TEST(Aborts, APictureThatChangesSizeKeepsGoing)
{
    const auto big = MakeClip("big.ts", "-f lavfi -i testsrc=size=640x480:rate=25:duration=2 "
                                        "-c:v mpeg2video");
    const auto small = MakeClip("small-size.ts", "-f lavfi -i testsrc=size=320x240:rate=25:"
                                                 "duration=2 -c:v mpeg2video");
    const auto joined = JoinClips("size-change.ts", {big, small});
    const auto output = WorkDir() / "size-change.avi";
    ASSERT_EQ(RunJob({joined, output}).eventCode, EC_COMPLETE);
    EXPECT_EQ(CountVideoFrames(output), CountVideoFrames(joined));
    EXPECT_EQ(Probe(output, "v:0", "stream=width,height"), "640,480");
}

} // namespace
} // namespace calvex::media::test
