// An AVI file past 1 GiB: FFmpeg's AVI muxer switches to OpenDML (RIFF AVIX
// parts and a two-level index). Slow and big, so it is disabled in the
// default run; run it with --gtest_also_run_disabled_tests.
#include "test_support.h"

#include <gtest/gtest.h>

namespace calvex::media::test {
namespace {

TEST(OpenDml, DISABLED_OutputPastOneGibibyteIsReadable)
{
    // 64 s of noisy 640x480 pictures, coded nearly losslessly to exceed 1 GiB.
    const auto input = MakeClip("big-source.mkv",
                                "-f lavfi -i testsrc2=size=640x480:rate=25:duration=64 -f lavfi -i "
                                "sine=duration=64 -vf noise=alls=80:allf=t -c:v libx264 -preset "
                                "ultrafast -crf 30 -c:a aac");
    ASSERT_FALSE(input.empty());
    const auto output = WorkDir() / "opendml.avi";
    JobSpec spec(input, output, "rawvideo", "");
    const JobResult result = RunJob(spec);
    ASSERT_EQ(result.eventCode, EC_COMPLETE);
    EXPECT_GT(std::filesystem::file_size(output), 1ull << 30);
    const std::string riffParts = RunCommand("grep -c -a AVIX " + Quote(output)).output;
    EXPECT_NE(riffParts, "0\n");
    EXPECT_EQ(CountVideoFrames(output), 1600);
    EXPECT_EQ(AudioPacketsMd5(output), AudioPacketsMd5(input));
    EXPECT_TRUE(Decodes(output));
}

} // namespace
} // namespace calvex::media::test
