// SPDX-License-Identifier: GPL-2.0-or-later
// The picture as players show the source: turned upright by its display
// matrix, in the shape its container gives it. An AVI has neither field, so
// the pictures themselves must carry both.
#include "test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>

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

// The mean difference (of 255) of the colours of a's and b's first pictures,
// at 64x48 in RGB; b's YUV read in bMatrix when given, as players read an
// untagged HD picture (ffmpeg takes BT.601 for any size).
double ColourDifference(const fs::path& a, const fs::path& b, const std::string& bMatrix = "")
{
    const auto pixels = [](const fs::path& file, const std::string& matrix) {
        return Shell("ffmpeg -nostdin -v error -i " + Quote(file) + " -frames:v 1 -vf scale=64:48" +
                     (matrix.empty() ? "" : ":in_color_matrix=" + matrix) +
                     ",format=rgb24 -f rawvideo -");
    };
    const std::string first = pixels(a, ""), second = pixels(b, bMatrix);
    if (first.empty() || first.size() != second.size())
        return 255;
    double sum = 0;
    for (size_t i = 0; i < first.size(); ++i)
        sum +=
            std::abs(static_cast<unsigned char>(first[i]) - static_cast<unsigned char>(second[i]));
    return sum / static_cast<double>(first.size());
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

// HDR clips made from an SDR one (PQ and HLG, BT.2020, 10-bit HEVC) come out
// as that SDR picture, not washed out; AVI players know no HDR.
TEST(PictureShape, HdrSourcesComeOutAsTheSdrPictureTheyWereMadeFrom)
{
    const fs::path sdr = MakeClip("sdr.mp4", kPicture + "-c:v libx264 -preset ultrafast -qp 0");
    for (const std::string transfer : {"smpte2084", "arib-std-b67"}) {
        SCOPED_TRACE(transfer);
        const fs::path hdr = MakeClip(
            "hdr-" + transfer + ".mkv",
            // The SD clip's colours are BT.601's, as players read an untagged SD picture.
            "-i " + Quote(sdr) + " -vf zscale=tin=bt709:min=170m:pin=bt709:rin=tv:t=" + transfer +
                ":p=bt2020:m=bt2020nc:r=tv,format=yuv420p10le -c:v libx265 -x265-params "
                "log-level=error:lossless=1 -color_trc " +
                transfer + " -color_primaries bt2020 -colorspace bt2020nc");
        EXPECT_GT(ColourDifference(sdr, hdr), 30); // the HDR values read as SDR: washed out
        JobRequest request{hdr, WorkDir() / ("hdr-" + transfer + ".avi")};
        ASSERT_EQ(RunJob(request).eventCode, EC_COMPLETE);
        EXPECT_LT(ColourDifference(sdr, request.output), 6);
    }
}

// An AVI says nothing of its colours: players take BT.601 below HD and
// BT.709 from 1280x720 on. A small picture in BT.709 (as phones tag theirs)
// and a large RGB one (a screen recording) come out in what players assume.
TEST(PictureShape, ColoursAreWrittenInTheMatrixPlayersAssume)
{
    const fs::path small =
        MakeClip("sd-bt709.mp4", "-f lavfi -i testsrc2=size=640x360:rate=25:duration=1 -vf "
                                 "scale=out_color_matrix=bt709,format=yuv420p -c:v libx264 -preset "
                                 "ultrafast -qp 0 -colorspace bt709");
    JobRequest request{small, WorkDir() / "sd-bt709.avi", "huffyuv"};
    ASSERT_EQ(RunJob(request).eventCode, EC_COMPLETE);
    EXPECT_LT(ColourDifference(small, request.output), 4); // 6.2 read as if BT.601

    const fs::path screen = MakeClip("hd-rgb.mkv", "-f lavfi -i smptehdbars=size=1280x720:rate="
                                                   "25:duration=1 -pix_fmt bgr0 -c:v ffv1");
    request = {screen, WorkDir() / "hd-rgb.avi"};
    ASSERT_EQ(RunJob(request).eventCode, EC_COMPLETE);
    EXPECT_LT(ColourDifference(screen, request.output, "bt709"), 6.5); // 8.1 if made BT.601
}

} // namespace
} // namespace calvex::media::test
