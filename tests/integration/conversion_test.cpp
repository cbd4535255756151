// SPDX-License-Identifier: GPL-2.0-or-later
// Conversions of generated clips into AVI, checked with ffprobe and ffmpeg:
// the usual containers and codecs, then sources of awkward shapes.
#include "test_support.h"

#include "media/ffmpeg/av_ptr.h"
#include "media/ffmpeg/codec_threads.h"

#include <gtest/gtest.h>

extern "C" {
#include <libavutil/cpu.h>
}

namespace calvex::media::test {
namespace {

const std::string kSources = "-f lavfi -i testsrc=size=320x240:rate=25:duration=2 -f lavfi -i "
                             "sine=frequency=440:sample_rate=48000:duration=2 ";

struct SourceCase {
    std::string codecs;    // the clip's name
    std::string container; // its extension, which picks the container
    std::string arguments; // ffmpeg's further inputs and codec arguments
    bool audioKeepable;    // whether the AVI takes the audio as it is
    std::string encoder{}; // an audio encoder to convert with as well, or empty
};

void PrintTo(const SourceCase& source, std::ostream* out)
{
    *out << source.codecs << "." << source.container;
}

class ContainerConversion : public ::testing::TestWithParam<SourceCase> {};

// Every picture; the sound bit-exact when kept, as long as the source's when
// re-encoded, starting with the pictures; the progress at the end.
TEST_P(ContainerConversion, KeepsOrEncodesAudioAndEncodesVideo)
{
    const SourceCase& source = GetParam();
    const std::string name = source.codecs + "." + source.container;
    const auto input = MakeClip(name, kSources + source.arguments);
    JobRequest request{input, WorkDir() / ("container-" + name + ".avi")};
    JobResult result = RunJob(request);
    EXPECT_EQ(result.audioRendered, source.audioKeepable);
    // Kept audio is bit-exact.
    EXPECT_EQ(AudioPacketsMd5(request.output) == AudioPacketsMd5(input), source.audioKeepable);
    if (!source.encoder.empty()) {
        request.audioEncoder = source.encoder;
        result = RunJob(request);
        EXPECT_TRUE(result.audioRendered);
        EXPECT_NEAR(DecodedDuration(request.output, "a:0"), DecodedDuration(input, "a:0"), 0.050);
    }
    ASSERT_EQ(result.eventCode, EC_COMPLETE);
    EXPECT_TRUE(Decodes(request.output));
    EXPECT_EQ(Probe(request.output, "v:0", "stream=codec_name"), "mpeg4");
    EXPECT_EQ(CountVideoFrames(request.output), 50);
    EXPECT_NEAR(DecodedSpan(request.output, "v:0").first, DecodedSpan(request.output, "a:0").first,
                0.040);
    EXPECT_NEAR(result.positionHns / 1e7, 2.0, 0.2);
    EXPECT_NEAR(result.durationHns / 1e7, 2.0, 0.2);
}

const std::string kH264 = "-c:v libx264 -preset ultrafast ";
const std::string kSurround = "-filter_complex \"[1:a]pan=5.1|c0=c0|c1=c0|c2=c0|c3=c0|c4=c0|c5=c0"
                              "[a]\" -map 0:v -map [a] -c:v mpeg4 -c:a ac3";
const std::string kSecondVideo =
    "-f lavfi -i testsrc2=size=320x240:rate=25:duration=2 -map 0:v -map 2:v -map 1:a ";
INSTANTIATE_TEST_SUITE_P(
    Sources, ContainerConversion,
    ::testing::Values(SourceCase{"h264_aac", "mp4", kH264 + "-c:a aac", true, "pcm_s16le"},
                      SourceCase{"mpeg4_mp3", "mkv", "-c:v mpeg4 -c:a libmp3lame", true},
                      SourceCase{"vp8_vorbis", "webm", "-c:v libvpx -c:a libvorbis", true, "mp2"},
                      SourceCase{"h264_opus", "mkv", kH264 + "-c:a libopus", false, "ac3"},
                      // B-frames in AVI: the last picture comes with no time stamp at all.
                      SourceCase{"mpeg4_ac3", "avi", "-c:v mpeg4 -bf 2 -c:a ac3", true},
                      SourceCase{"mpeg2_mp2", "mpg", "-c:v mpeg2video -c:a mp2 -f mpeg", true},
                      SourceCase{"mpeg2_ac3", "ts", "-c:v mpeg2video -c:a ac3", true},
                      SourceCase{"h264_aac", "flv", kH264 + "-c:a aac", true},
                      SourceCase{"surround_ac3", "mkv", kSurround, true, "libmp3lame"},
                      // The sound comes after a second picture stream.
                      SourceCase{"two_videos", "mkv", kSecondVideo + kH264 + "-c:a aac", true}),
    [](const auto& info) { return info.param.codecs + "_" + info.param.container; });

TEST(VideoShapes, OddSizedVideoOnlySource)
{
    const auto input = MakeClip("odd-161x121.mkv",
                                "-f lavfi -i testsrc=size=161x121:rate=25:duration=1 -c:v ffv1");
    for (const std::string encoder : {"mpeg4", "libx264", "mjpeg"}) {
        SCOPED_TRACE(encoder);
        const auto output = WorkDir() / ("odd-" + encoder + ".avi");
        const JobResult result = RunJob({input, output, encoder});
        EXPECT_FALSE(result.audioRendered);
        ASSERT_EQ(result.eventCode, EC_COMPLETE);
        EXPECT_TRUE(Decodes(output));
        EXPECT_EQ(CountVideoFrames(output), 25);
        EXPECT_EQ(Probe(output, "a", "stream=codec_name"), "");
    }
}

// A picture larger than PAL's is cut into slices coded side by side; lossless,
// every picture must still come out exactly as it went in.
TEST(VideoShapes, ALargePictureCodedInSlicesComesOutExactly)
{
    const auto input =
        MakeClip("large.mkv", "-f lavfi -i testsrc2=size=1280x720:rate=10:duration=1 -c:v ffv1");
    const auto output = WorkDir() / "large-ffv1.avi";
    ASSERT_EQ(RunJob({input, output, "ffv1"}).eventCode, EC_COMPLETE);
    const auto pictureMd5 = [](const fs::path& file) {
        return Shell("ffmpeg -v error -i " + Quote(file) + " -map 0:v -f md5 -");
    };
    EXPECT_EQ(CountVideoFrames(output), 10);
    EXPECT_EQ(pictureMd5(output), pictureMd5(input));
    EXPECT_NE(pictureMd5(output), "");
}

// A Threads setting of 0 is the program's choice, as no setting is: FFV1
// still gets the slices that keep the cores busy; a count of the user's
// leaves threads and slices to the encoder.
TEST(VideoShapes, ThreadsOfZeroLeaveTheSlicesToTheProgram)
{
    if (av_cpu_count() < 2)
        GTEST_SKIP() << "one core: FFmpeg's own slices";
    const AVCodec* ffv1 = avcodec_find_encoder_by_name("ffv1");
    ASSERT_NE(ffv1, nullptr);
    ffmpeg::EncoderPlan plan;
    plan.kind = AVMEDIA_TYPE_VIDEO;
    plan.video.width = 1920;
    plan.video.height = 1080;
    const auto slicesWith = [&](const ffmpeg::OptionValues& options) {
        ffmpeg::CodecContextPtr context(avcodec_alloc_context3(ffv1));
        ffmpeg::SizeEncoderThreads(context.get(), ffv1, plan, options,
                                   ffmpeg::SliceCount::Balanced);
        return context->slices;
    };
    EXPECT_EQ(slicesWith({}), slicesWith({{"threads", "0"}}));
    EXPECT_GT(slicesWith({{"threads", "0"}}), 4);
    EXPECT_EQ(slicesWith({{"threads", "2"}}), 0);
}

TEST(VideoShapes, VariableFrameRateComesOutConstant)
{
    // 2 s whose frames come at 25 fps for the first second and 5 fps for the second.
    const auto input =
        MakeClip("vfr.mp4", "-f lavfi -i testsrc=size=160x120:rate=25:duration=2 -vf "
                            "\"select='lt(t,1)+not(mod(n,5))'\" -fps_mode vfr " +
                                kH264);
    const auto output = WorkDir() / "vfr.avi";
    ASSERT_EQ(RunJob({input, output, "mpeg4", "-"}).eventCode, EC_COMPLETE);
    // At the rate of its stamps, over the source's time within one frame.
    EXPECT_EQ(Probe(output, "v:0", "stream=avg_frame_rate"), "25/1");
    EXPECT_NEAR(DecodedDuration(output, "v:0"), DecodedDuration(input, "v:0"), 0.041);
}

// Two parts joined end to end: the time stamps step back, and the sound turns
// from 44.1 kHz mono into 48 kHz stereo. Kept, it stays as it is; re-encoded,
// it goes on across the change.
TEST(AwkwardSources, JoinedPartsWithSoundOfAnotherFormat)
{
    const std::string video = "-f lavfi -i testsrc=size=160x120:rate=25:duration=1 -f lavfi -i ";
    const auto mono = MakeClip("mono.ts", video + "sine=sample_rate=44100 -ac 1 -c:v mpeg2video "
                                                  "-c:a mp2 -t 1");
    const auto stereo = MakeClip("stereo.ts", video + "sine=sample_rate=48000 -ac 2 -c:v "
                                                      "mpeg2video -c:a mp2 -t 1");
    const auto input = JoinClips("joined.ts", {mono, stereo});
    const auto kept = WorkDir() / "joined-kept.avi";
    ASSERT_EQ(RunJob({input, kept}).eventCode, EC_COMPLETE);
    EXPECT_EQ(AudioPacketsMd5(kept), AudioPacketsMd5(input));
    const auto encoded = WorkDir() / "joined-mp3.avi";
    ASSERT_EQ(RunJob({input, encoded, "mpeg4", "libmp3lame"}).eventCode, EC_COMPLETE);
    EXPECT_TRUE(Decodes(encoded));
    EXPECT_NEAR(DecodedDuration(encoded, "a:0"),
                DecodedDuration(mono, "a:0") + DecodedDuration(stereo, "a:0"), 0.050);
}

} // namespace
} // namespace calvex::media::test
