// Conversions of generated clips in the usual containers and codecs into AVI,
// checked with ffprobe and ffmpeg.
#include "test_support.h"

#include <gtest/gtest.h>

#include <cmath>

namespace calvex::media::test {
namespace {

const std::string kVideo2s = "-f lavfi -i testsrc=size=320x240:rate=25:duration=2 ";
const std::string kAudio2s = "-f lavfi -i sine=frequency=440:sample_rate=44100:duration=2 ";

struct SourceCase {
    std::string name;      // clip file name; its extension picks the container
    std::string arguments; // ffmpeg's codec arguments
    bool audioKeepable;    // whether the AVI muxer takes the audio as it is
    long frames;           // video frames in the source
};

void PrintTo(const SourceCase& source, std::ostream* out)
{
    *out << source.name;
}

class ContainerConversion : public ::testing::TestWithParam<SourceCase> {};

void ExpectAlignedStarts(const std::filesystem::path& output)
{
    const double video = FirstFrameTime(output, "v:0");
    const double audio = FirstFrameTime(output, "a:0");
    ASSERT_GE(video, 0);
    ASSERT_GE(audio, 0);
    EXPECT_LE(std::fabs(video - audio), 0.040) << "video " << video << " audio " << audio;
}

TEST_P(ContainerConversion, KeepsOrEncodesAudioAndEncodesVideo)
{
    const SourceCase& source = GetParam();
    const auto input = MakeClip(source.name, kVideo2s + kAudio2s + source.arguments);
    ASSERT_FALSE(input.empty());
    const auto output = WorkDir() / ("container-" + source.name + ".avi");

    JobRequest request{input, output};
    JobResult result = RunJob(request);
    ASSERT_TRUE(result.sourceOpened);
    EXPECT_TRUE(result.videoRendered);
    EXPECT_EQ(result.audioRendered, source.audioKeepable);
    if (!source.audioKeepable) {
        // Audio the AVI file cannot hold as it is goes through an encoder.
        request.audioEncoder = "ac3";
        result = RunJob(request);
        EXPECT_TRUE(result.audioRendered);
    }
    ASSERT_EQ(result.wait, WaitResult::Ended);
    ASSERT_EQ(result.eventCode, EC_COMPLETE);
    EXPECT_TRUE(DecodesCleanly(output));
    EXPECT_EQ(ProbeStream(output, "v:0", "stream=codec_name"), "mpeg4");
    EXPECT_EQ(CountVideoFrames(output), source.frames);
    ExpectAlignedStarts(output);
    if (source.audioKeepable)
        EXPECT_EQ(AudioPacketsMd5(output), AudioPacketsMd5(input));
    else
        EXPECT_NEAR(DecodedDuration(output, "a:0"), DecodedDuration(input, "a:0"), 0.050);
    EXPECT_NEAR(result.positionHns / 1e7, 2.0, 0.2);
    EXPECT_NEAR(result.durationHns / 1e7, 2.0, 0.2);
}

INSTANTIATE_TEST_SUITE_P(
    Sources, ContainerConversion,
    ::testing::Values(
        SourceCase{"h264-aac.mp4", "-c:v libx264 -preset ultrafast -c:a aac", true, 50},
        SourceCase{"mpeg4-mp3.mkv", "-c:v mpeg4 -c:a libmp3lame", true, 50},
        SourceCase{"vp8-vorbis.webm", "-c:v libvpx -c:a libvorbis", true, 50},
        SourceCase{"h264-opus.mkv", "-c:v libx264 -preset ultrafast -c:a libopus", false, 50},
        SourceCase{"mpeg4-ac3.avi", "-c:v mpeg4 -c:a ac3", true, 50},
        SourceCase{"mpeg2-mp2.mpg", "-c:v mpeg2video -c:a mp2 -f mpeg", true, 50},
        SourceCase{"mpeg2-ac3.ts", "-c:v mpeg2video -c:a ac3", true, 50},
        SourceCase{"h264-aac.ts", "-c:v libx264 -preset ultrafast -c:a aac", true, 50},
        SourceCase{"h264-aac.flv", "-c:v libx264 -preset ultrafast -c:a aac", true, 50}),
    [](const auto& info) {
        std::string name = info.param.name;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    });

TEST(AudioEncoding, ReencodedAudioKeepsItsDuration)
{
    const auto input = MakeClip(
        "mpeg4-aac-3s.mp4", "-f lavfi -i testsrc=size=160x120:rate=25:duration=3 -f lavfi -i "
                            "sine=frequency=300:sample_rate=48000:duration=3 -c:v mpeg4 -c:a aac");
    ASSERT_FALSE(input.empty());
    for (const std::string encoder : {"ac3", "libmp3lame", "pcm_s16le", "mp2"}) {
        SCOPED_TRACE(encoder);
        const auto output = WorkDir() / ("audio-" + encoder + ".avi");
        const JobResult result = RunJob({input, output, "mpeg4", encoder});
        ASSERT_TRUE(result.audioRendered);
        ASSERT_EQ(result.eventCode, EC_COMPLETE);
        EXPECT_TRUE(DecodesCleanly(output));
        EXPECT_EQ(CountVideoFrames(output), 75);
        EXPECT_NEAR(DecodedDuration(output, "a:0"), DecodedDuration(input, "a:0"), 0.050);
        ExpectAlignedStarts(output);
    }
}

TEST(AudioEncoding, OpusCannotBeKept)
{
    const auto input = MakeClip("h264-opus.mkv", kVideo2s + kAudio2s +
                                                     "-c:v libx264 -preset ultrafast -c:a libopus");
    ASSERT_FALSE(input.empty());
    auto builder = Engine()->CreateCaptureGraphBuilder();
    FilterPtr mux = builder->SetOutputFileName(WorkDir() / "opus-kept.avi");
    FilterPtr source = builder->GetFiltergraph()->AddSourceFilter(input, "Source Filter");
    ASSERT_TRUE(source);
    FilterPtr video = BindEncoder(Category::VideoCompressor, "mpeg4");
    ASSERT_TRUE(builder->GetFiltergraph()->AddFilter(video, "Video Compressor"));
    EXPECT_TRUE(builder->RenderStream(source, video, mux));
    EXPECT_FALSE(builder->RenderStream(source, nullptr, mux));
}

TEST(VideoShapes, VideoOnlySource)
{
    const auto input = MakeClip("video-only.mp4", kVideo2s + "-c:v libx264 -preset ultrafast");
    const auto output = WorkDir() / "video-only.avi";
    const JobResult result = RunJob({input, output, "mpeg4", "-"});
    ASSERT_EQ(result.eventCode, EC_COMPLETE);
    EXPECT_EQ(CountVideoFrames(output), 50);
    EXPECT_EQ(ProbeStream(output, "a", "stream=codec_name"), "");
}

TEST(VideoShapes, KeepAudioOfVideoOnlySourceFindsNothing)
{
    const auto input = MakeClip("video-only.mp4", kVideo2s + "-c:v libx264 -preset ultrafast");
    const auto output = WorkDir() / "video-only-keep.avi";
    const JobResult result = RunJob({input, output, "mpeg4", ""});
    EXPECT_FALSE(result.audioRendered);
    EXPECT_EQ(result.eventCode, EC_COMPLETE);
}

TEST(VideoShapes, OddDimensions)
{
    const auto input = MakeClip("odd-161x121.mkv",
                                "-f lavfi -i testsrc=size=161x121:rate=25:duration=1 -c:v ffv1");
    for (const std::string encoder : {"mpeg4", "libx264", "mjpeg"}) {
        SCOPED_TRACE(encoder);
        const auto output = WorkDir() / ("odd-" + encoder + ".avi");
        const JobResult result = RunJob({input, output, encoder, "-"});
        ASSERT_TRUE(result.videoRendered);
        ASSERT_EQ(result.eventCode, EC_COMPLETE);
        EXPECT_TRUE(DecodesCleanly(output));
        EXPECT_EQ(CountVideoFrames(output), 25);
    }
}

TEST(VideoShapes, VariableFrameRateComesOutConstant)
{
    // 2 s whose frames come at 25 fps for the first second and 10 fps for the second.
    const auto input =
        MakeClip("vfr.mp4",
                 "-f lavfi -i testsrc=size=160x120:rate=25:duration=2 -vf "
                 "\"select='lt(t,1)+not(mod(n,5))'\" -fps_mode vfr -c:v libx264 -preset ultrafast");
    ASSERT_FALSE(input.empty());
    const auto output = WorkDir() / "vfr.avi";
    const JobResult result = RunJob({input, output, "mpeg4", "-"});
    ASSERT_EQ(result.eventCode, EC_COMPLETE);
    const std::string rate = ProbeStream(output, "v:0", "stream=avg_frame_rate");
    const std::string sourceRate = ProbeStream(input, "v:0", "stream=avg_frame_rate");
    ASSERT_FALSE(rate.empty());
    const double fps =
        std::stod(rate.substr(0, rate.find('/'))) / std::stod(rate.substr(rate.find('/') + 1));
    const double sourceFps = std::stod(sourceRate.substr(0, sourceRate.find('/'))) /
                             std::stod(sourceRate.substr(sourceRate.find('/') + 1));
    EXPECT_NEAR(fps, sourceFps, 0.01);
    const double sourceDuration = DecodedDuration(input, "v:0");
    const double frames = static_cast<double>(CountVideoFrames(output));
    EXPECT_NEAR(frames / fps, sourceDuration, 1.0 / fps + 1e-6);
}

TEST(AudioShapes, SurroundAudioKeptAndEncoded)
{
    const auto input = MakeClip(
        "surround.mkv", kVideo2s + "-f lavfi -i sine=frequency=500:sample_rate=48000:duration=2 "
                                   "-filter_complex \"[1:a]pan=5.1|c0=c0|c1=c0|c2=c0|c3=c0|c4=c0|"
                                   "c5=c0[a]\" -map 0:v -map [a] -c:v mpeg4 -c:a ac3");
    ASSERT_FALSE(input.empty());
    const auto kept = WorkDir() / "surround-kept.avi";
    ASSERT_EQ(RunJob({input, kept}).eventCode, EC_COMPLETE);
    EXPECT_EQ(AudioPacketsMd5(kept), AudioPacketsMd5(input));
    EXPECT_EQ(ProbeStream(kept, "a:0", "stream=channels"), "6");
    for (const std::string encoder : {"ac3", "pcm_s16le", "mp2"}) {
        SCOPED_TRACE(encoder);
        const auto output = WorkDir() / ("surround-" + encoder + ".avi");
        ASSERT_EQ(RunJob({input, output, "mpeg4", encoder}).eventCode, EC_COMPLETE);
        EXPECT_TRUE(DecodesCleanly(output));
        EXPECT_NEAR(DecodedDuration(output, "a:0"), DecodedDuration(input, "a:0"), 0.050);
    }
    EXPECT_EQ(ProbeStream(WorkDir() / "surround-ac3.avi", "a:0", "stream=channels"), "6");
}

} // namespace
} // namespace calvex::media::test
