// SPDX-License-Identifier: GPL-2.0-or-later
// The picture as players show the source: turned upright by its display
// matrix, in the shape its container gives it. An AVI has neither field, so
// the pictures themselves must carry both.
#include "test_support.h"

#include <gtest/gtest.h>

namespace calvex::media::test {
namespace {

const std::string kPicture = "-f lavfi -i testsrc2=size=320x240:rate=25:duration=1 ";

// A clip whose display matrix turns its picture clockwise by degrees.
fs::path TurnedClip(int degrees)
{
    const fs::path plain = MakeClip("plain.mp4", kPicture + "-c:v libx264 -preset ultrafast");
    return MakeClip("turned" + std::to_string(degrees) + ".mp4",
                    "-i " + Quote(plain) +
                        " -c copy -metadata:s:v rotate=" + std::to_string(degrees));
}

// Structural likeness (SSIM of grey pictures at 128x128) of the first second
// of a's pictures as ffmpeg shows them (turned by their display matrix) and b's.
double ShownLikeness(const fs::path& a, const fs::path& b)
{
    const std::string log =
        Shell("ffmpeg -nostdin -v info -t 1 -i " + Quote(a) + " -t 1 -i " + Quote(b) +
              " -lavfi '[0:v]scale=128:128,format=gray[x];[1:v]scale=128:128,format=gray[y];"
              "[x][y]ssim' -f null - 2>&1 | grep -o 'All:[0-9.]*' | cut -d: -f2");
    return log.empty() ? 0.0 : std::stod(log);
}

struct TurnCase {
    int degrees;
    std::string encoder;
};

void PrintTo(const TurnCase& turn, std::ostream* out)
{
    *out << turn.degrees << " degrees, " << turn.encoder;
}

class TurnedSource : public ::testing::TestWithParam<TurnCase> {};

TEST_P(TurnedSource, ComesOutUpright)
{
    const TurnCase& turn = GetParam();
    const fs::path source = TurnedClip(turn.degrees);
    JobRequest request{source, WorkDir() / ("turned" + std::to_string(turn.degrees) + "-" +
                                            turn.encoder + ".avi")};
    request.videoEncoder = turn.encoder;
    ASSERT_EQ(RunJob(request).eventCode, EC_COMPLETE);
    const bool upright = turn.degrees % 180 != 0;
    EXPECT_EQ(Probe(request.output, "v:0", "stream=width,height"), upright ? "240,320" : "320,240");
    EXPECT_GT(ShownLikeness(source, request.output), 0.9);
}

INSTANTIATE_TEST_SUITE_P(Turns, TurnedSource,
                         ::testing::Values(TurnCase{90, "mpeg4"}, TurnCase{180, "mpeg4"},
                                           TurnCase{270, "mpeg4"}, TurnCase{90, "mjpeg"}));

// A PAL picture that is 16:9 only by its container's display size (the
// stream says nothing), and a 16:9 stream turned upright (then 9:16).
TEST(PictureShape, KeepsTheShapeTheContainerGivesAndTurnsItWithThePicture)
{
    const fs::path coded =
        MakeClip("pal.webm", "-f lavfi -i testsrc2=size=720x576:rate=25:duration=1 "
                             "-c:v libvpx-vp9 -deadline realtime -cpu-used 8");
    const fs::path wide = WorkDir() / "clips" / "pal-display-16x9.mkv";
    Shell("mkvmerge -q -o " + Quote(wide) + " --display-dimensions 0:1024x576 " + Quote(coded));
    JobRequest request{wide, WorkDir() / "pal-display-16x9.avi"};
    ASSERT_EQ(RunJob(request).eventCode, EC_COMPLETE);
    EXPECT_EQ(Probe(request.output, "v:0", "stream=display_aspect_ratio"), "16:9");

    const fs::path anamorphic =
        MakeClip("anamorphic.mp4", "-f lavfi -i testsrc2=size=720x576:rate=25:duration=1 "
                                   "-c:v libx264 -preset ultrafast -aspect 16:9");
    const fs::path turned = MakeClip(
        "anamorphic-turned.mp4", "-i " + Quote(anamorphic) + " -c copy -metadata:s:v rotate=90");
    request = {turned, WorkDir() / "anamorphic-turned.avi"};
    ASSERT_EQ(RunJob(request).eventCode, EC_COMPLETE);
    EXPECT_EQ(Probe(request.output, "v:0", "stream=width,height,display_aspect_ratio"),
              "576,720,9:16");
}

} // namespace
} // namespace calvex::media::test
