// SPDX-License-Identifier: GPL-2.0-or-later
// Sources whose time is awkward: sound that starts late or early, parts
// joined end to end, a last frame cut short, an empty track. Checked on the
// decoded content: every picture, and the sound where it is in the source.
// The timeline's own rules (the job's zero, splices back and far ahead,
// stamps far from their decoding stamps) are tested on packets in
// tests/engine; here are the containers, decoders and encoders around it.
#include "test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace calvex::media::test {
namespace {

constexpr double kInStep = 0.045; // how far sound and picture may drift apart

const std::string kPicture = "-f lavfi -i testsrc=size=320x240:rate=25:duration=3 ";

// Where the first sound is heard: silence at the start (as re-encoding pads
// a late start with) is no sound.
double FirstSound(const fs::path& file)
{
    const std::string said =
        Shell("ffmpeg -nostdin -v info -copyts -i " + Quote(file) +
              " -map 0:a -af silencedetect=n=-50dB:d=0.01 -f null - 2>&1 | grep -m2 silence_");
    const double start = DecodedSpan(file, "a:0").first;
    const size_t silenceStart = said.find("silence_start: ");
    const size_t silenceEnd = said.find("silence_end: ");
    if (silenceStart == std::string::npos || silenceEnd == std::string::npos ||
        std::stod(said.substr(silenceStart + 15)) > start + 0.01)
        return start;
    return std::stod(said.substr(silenceEnd + 13));
}

// The first sound against the end of the picture, in seconds: what a player
// shows as the sound's place, whether the picture or the sound starts first.
double SoundToPictureEnd(const fs::path& file)
{
    return DecodedSpan(file, "v:0").second - FirstSound(file);
}

struct Offset {
    std::string container, sound;
    double seconds; // > 0: the sound starts late
};

void PrintTo(const Offset& offset, std::ostream* out)
{
    *out << offset.sound << " in " << offset.container << ", " << offset.seconds << " s late";
}

class SoundOffset : public ::testing::TestWithParam<Offset> {};

TEST_P(SoundOffset, IsKeptWithCopiedAndReencodedSound)
{
    const Offset& offset = GetParam();
    const std::string name = "offset" + std::to_string(offset.seconds) + "." + offset.container;
    const auto input =
        MakeClip(name, kPicture + "-itsoffset " + std::to_string(offset.seconds) +
                           " -f lavfi -i sine=duration=3 -c:v libx264 -c:a " + offset.sound);
    for (const std::string audio : {"", "libmp3lame"}) {
        SCOPED_TRACE(audio.empty() ? "kept" : audio);
        const auto output = WorkDir() / ("offset-" + name + audio + ".avi");
        ASSERT_EQ(RunJob({input, output, "mpeg4", audio}).eventCode, EC_COMPLETE);
        EXPECT_EQ(CountVideoFrames(output), 75);
        EXPECT_NEAR(SoundToPictureEnd(output), SoundToPictureEnd(input), kInStep)
            << "picture " << DecodedSpan(input, "v:0").second << " -> "
            << DecodedSpan(output, "v:0").second << ", sound " << FirstSound(input) << " -> "
            << FirstSound(output);
        // GStreamer (as VLC) ignores the sound stream's start field: a late
        // start must be in the stream itself to be heard where FFmpeg hears it.
        EXPECT_NEAR(FirstSound(SoundAsGStreamerReadsIt(output)), FirstSound(output), kInStep);
    }
}

INSTANTIATE_TEST_SUITE_P(
    LateAndEarly, SoundOffset,
    ::testing::Values(Offset{"mp4", "aac", 0.48}, Offset{"mkv", "libmp3lame", 0.175},
                      Offset{"ts", "mp2", 0.19}, Offset{"flv", "libmp3lame", 0.04},
                      Offset{"mkv", "ac3", 0.2}, Offset{"mkv", "pcm_s16le", 0.5},
                      Offset{"mkv", "libmp3lame", -0.3}, Offset{"mp4", "aac", -0.12}),
    [](const auto& info) {
        return info.param.container + "_" + info.param.sound + "_" +
               std::to_string(static_cast<int>(info.param.seconds * 1000 + 1000));
    });

// A minute and a half before the first sound is no late start but a stamp
// gone wrong: no silence for it (the file would grow by it), the delay kept
// in the stream's start field only.
TEST(SoundOffsets, SoundFarTooLateGetsNoSilence)
{
    const auto input = MakeClip("far-too-late.mkv", kPicture + "-itsoffset 90 -f lavfi -i "
                                                               "sine=duration=1 -c:v libx264 "
                                                               "-c:a libmp3lame");
    const auto output = WorkDir() / "far-too-late.avi";
    ASSERT_EQ(RunJob({input, output}).eventCode, EC_COMPLETE);
    EXPECT_LT(fs::file_size(output), 2'000'000u);
    const std::string first = Probe(output, "a:0", "packet=pts_time", "-read_intervals %+#1");
    EXPECT_NEAR(std::stod(first), 90, 0.1);
}

// Spins every core until stop turns true: the graph's stages then take
// their turns at other moments than on a quiet machine.
class LoadedCores {
public:
    LoadedCores()
    {
        for (unsigned i = 0; i < std::max(2u, std::thread::hardware_concurrency()); ++i)
            m_threads.emplace_back([this] {
                volatile uint64_t spins = 0;
                while (!m_stop.load())
                    spins = spins + 1;
            });
    }
    ~LoadedCores()
    {
        m_stop = true;
        for (std::thread& thread : m_threads)
            thread.join();
    }

private:
    std::atomic<bool> m_stop{false};
    std::vector<std::thread> m_threads;
};

// Two transport streams joined with cat; re-encoded sound across a splice:
// conversion_test.cpp (AwkwardSources).
TEST(Splices, JoinedRecordingsGiveTheSameBytesWhateverTheThreadsTiming)
{
    // AAC kept across the join: its stamps step back at the splice.
    const auto part = MakeClip("part-aac.ts", kPicture + "-f lavfi -i sine=duration=3 -c:v "
                                                         "mpeg2video -c:a aac");
    const auto joined = JoinClips("cat-joined-aac.ts", {part, part});
    const auto quiet = WorkDir() / "joined-quiet.avi";
    const auto loaded = WorkDir() / "joined-loaded.avi";
    ASSERT_EQ(RunJob({joined, quiet}).eventCode, EC_COMPLETE);
    {
        const LoadedCores load;
        ASSERT_EQ(RunJob({joined, loaded}).eventCode, EC_COMPLETE);
    }
    // Both parts whole, one after the other, with the sound beside its picture.
    EXPECT_EQ(CountVideoFrames(quiet), 150);
    EXPECT_NEAR(DecodedSpan(quiet, "a:0").second, DecodedSpan(quiet, "v:0").second, kInStep);
    EXPECT_EQ(AudioPacketsMd5(quiet), AudioPacketsMd5(joined));
    EXPECT_TRUE(ReadBytes(quiet) == ReadBytes(loaded)) << "the file depends on the timing";
}

// An AVI has no presentation times: the first picture must be shown at the
// same moment by FFmpeg's reader and GStreamer's (as VLC's), which do not
// make good a decoder's reordering delay alike. x264 at its defaults here.
TEST(Pictures, EveryReaderShowsTheFirstPictureAtTheSameTime)
{
    const auto source =
        MakeClip("film24.mp4", "-f lavfi -i testsrc2=size=320x240:rate=24:duration=2 "
                               "-c:v libx264 -preset ultrafast");
    for (const std::string encoder : {"libx264", "mpeg4"}) {
        SCOPED_TRACE(encoder);
        const auto output = WorkDir() / ("first-picture-" + encoder + ".avi");
        ASSERT_EQ(RunJob({source, output, encoder, "-"}).eventCode, EC_COMPLETE);
        const std::string first = Probe(output, "v:0", "frame=best_effort_timestamp_time");
        ASSERT_FALSE(first.empty());
        EXPECT_NEAR(FirstPictureAsGStreamerShowsIt(output), std::stod(first), 0.01);
    }
}

TEST(Pictures, ALastFrameCutShortAndAnEmptySoundTrack)
{
    // Ten frames, the last one lasting 0.3 ms by its container.
    const auto ten = MakeClip("ten.mp4", "-f lavfi -i testsrc=size=320x240:rate=25:duration=0.4 "
                                         "-c:v libx264 -bf 0");
    const auto cut = WorkDir() / "clips" / "cut-short.mp4";
    Shell("ffmpeg -nostdin -y -v error -i " + Quote(ten) +
          " -c copy -bsf:v "
          "'setts=duration=if(eq(N\\,9)\\,4\\,DURATION)' " +
          Quote(cut));
    ASSERT_EQ(RunJob({cut, WorkDir() / "cut-short.avi"}).eventCode, EC_COMPLETE);
    EXPECT_EQ(CountVideoFrames(WorkDir() / "cut-short.avi"), 10);

    // An AAC track without packets or channels beside a good picture.
    const auto empty = MakeClip("empty-sound.ts", "-f lavfi -i testsrc=size=320x240:rate=25 -f "
                                                  "lavfi -i anullsrc -map 0:v -map 1:a -c:v "
                                                  "libx264 -c:a aac -frames:a 0 -t 2");
    for (const std::string audio : {"", "libmp3lame"}) {
        const auto output = WorkDir() / ("empty-sound" + audio + ".avi");
        const JobResult result = RunJob({empty, output, "mpeg4", audio});
        EXPECT_EQ(result.eventCode, EC_COMPLETE) << result.reason;
        EXPECT_FALSE(result.audioRendered);
        EXPECT_EQ(CountVideoFrames(output), 50);
    }
}

} // namespace
} // namespace calvex::media::test
