// SPDX-License-Identifier: GPL-2.0-or-later
// The slow tests (CTest label "slow"): real clips, and an AVI file past 1 GiB.
#include "test_support.h"

#include <gtest/gtest.h>

namespace calvex::media::test {
namespace {

// Real clips of several makers: the sample videos of a Debian package, which
// scripts/fetch-clips puts into CALVEX_CLIPS_DIR, alone, before the tests run.
TEST(SlowRealClips, EveryClipConvertsWithItsFrameCount)
{
    const fs::path clips = CALVEX_CLIPS_DIR;
    ASSERT_TRUE(fs::is_directory(clips)) << clips << " is missing: run scripts/fetch-clips";
    for (const auto& entry : fs::directory_iterator(clips)) {
        const auto input = entry.path();
        SCOPED_TRACE(input.filename().string());
        const auto output = WorkDir() / ("real-" + input.stem().string() + ".avi");
        ASSERT_EQ(RunJob({input, output}).eventCode, EC_COMPLETE);
        EXPECT_TRUE(Decodes(output, false));
        // Every frame time is kept: the decoded frames, or the index's count where
        // the source has empty (repeat) frames, as one VP9 clip has.
        const long indexed = std::atol(Probe(input, "v:0", "stream=nb_frames").c_str());
        EXPECT_NEAR(CountVideoFrames(output), std::max(CountVideoFrames(input), indexed), 1);
    }
    EXPECT_GE(std::distance(fs::directory_iterator(clips), {}), 5);
}

// Past 1 GiB FFmpeg's AVI muxer goes on in OpenDML: RIFF AVIX parts and a
// two-level index.
TEST(SlowOpenDml, OutputPastOneGibibyteIsReadable)
{
    // 100 s of 640x480 pictures as raw video: 2500 x 460800 bytes.
    const auto input = MakeClip("big-source-100s.mkv",
                                "-f lavfi -i testsrc2=size=640x480:rate=25:duration=100 -f lavfi "
                                "-i sine=duration=100 -c:v libx264 -preset ultrafast -c:a aac");
    const auto output = WorkDir() / "opendml.avi";
    ASSERT_EQ(RunJob({input, output, "rawvideo"}).eventCode, EC_COMPLETE);
    EXPECT_GT(fs::file_size(output), 1ull << 30);
    EXPECT_NE(Shell("grep -c -a AVIX " + Quote(output)), "0\n");
    EXPECT_EQ(CountVideoFrames(output), 2500);
    EXPECT_EQ(AudioPacketsMd5(output), AudioPacketsMd5(input));
    EXPECT_TRUE(Decodes(output, false));
    // GStreamer's own demuxer reads the OpenDML parts too.
    EXPECT_EQ(PicturesAsGStreamerReadsThem(output), 2500);
    const fs::path sound = SoundAsGStreamerReadsIt(output);
    EXPECT_NEAR(DecodedDuration(sound, "a:0"), DecodedDuration(input, "a:0"), 0.05);
    fs::remove(sound);
    fs::remove(output);
}

} // namespace
} // namespace calvex::media::test
