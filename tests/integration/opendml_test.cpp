// An AVI file past 1 GiB: FFmpeg's AVI muxer switches to OpenDML (RIFF AVIX
// parts and a two-level index). Slow and big, so it is disabled in the
// default run; run it with --gtest_also_run_disabled_tests.
#include "test_support.h"

#include <gtest/gtest.h>

namespace calvex::media::test {
namespace {

TEST(OpenDml, DISABLED_OutputPastOneGibibyteIsReadable)
{
    // 100 s of 640x480 pictures as raw video: 2500 x 460800 bytes, past 1 GiB.
    const auto input = MakeClip("big-source-100s.mkv",
                                "-f lavfi -i testsrc2=size=640x480:rate=25:duration=100 -f lavfi "
                                "-i sine=duration=100 -c:v libx264 -preset ultrafast -c:a aac");
    ASSERT_FALSE(input.empty());
    const auto output = WorkDir() / "opendml.avi";
    JobRequest request(input, output, "rawvideo", "");
    const JobResult result = RunJob(request);
    ASSERT_EQ(result.eventCode, EC_COMPLETE);
    EXPECT_GT(std::filesystem::file_size(output), 1ull << 30);
    const std::string riffParts = RunCommand("grep -c -a AVIX " + Quote(output)).output;
    EXPECT_NE(riffParts, "0\n");
    EXPECT_EQ(CountVideoFrames(output), 2500);
    EXPECT_EQ(AudioPacketsMd5(output), AudioPacketsMd5(input));
    EXPECT_TRUE(Decodes(output));
}

} // namespace
} // namespace calvex::media::test
