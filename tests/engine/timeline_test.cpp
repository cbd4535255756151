// SPDX-License-Identifier: GPL-2.0-or-later
// The job's timeline on packets made here: the job's zero, stamps that step
// back or jump ahead (parts joined end to end), and presentation stamps far
// from their decoding stamps. The streams' time bases are a container's own
// (Matroska's milliseconds, MPEG-TS's 90 kHz clock).
#include "media/ffmpeg/av_ptr.h"
#include "media/ffmpeg/timeline.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace calvex::media::ffmpeg {
namespace {

struct FormatDeleter {
    void operator()(AVFormatContext* format) const { avformat_free_context(format); }
};
using FormatPtr = std::unique_ptr<AVFormatContext, FormatDeleter>;

// A source as the demuxer describes it: a picture stream, then a sound stream.
FormatPtr MakeSource(AVRational pictureBase, AVRational soundBase)
{
    FormatPtr format(avformat_alloc_context());
    for (AVRational base : {pictureBase, soundBase}) {
        AVStream* stream = avformat_new_stream(format.get(), nullptr);
        if (stream == nullptr)
            return nullptr;
        stream->time_base = base;
    }
    return format;
}

constexpr int kPicture = 0;
constexpr int kSound = 1;
constexpr AVRational kMilliseconds{1, 1000};

struct Placed {
    int64_t pts, dts;
};

// Places one packet of the stream; returns its stamps on the timeline.
Placed Place(Timeline& timeline, int stream, int64_t pts, int64_t dts, int64_t duration)
{
    PacketPtr packet = MakePacket();
    packet->stream_index = stream;
    packet->pts = pts;
    packet->dts = dts;
    packet->duration = duration;
    timeline.Place(packet.get());
    return {packet->pts, packet->dts};
}

// A stream of packets of one length, as a demuxer reads it.
struct Track {
    int stream;
    int64_t duration; // of each packet, in the time base
    int64_t next;     // the source's stamp of the next packet
};

// Reads both tracks interleaved by time, as a demuxer does, until each has
// reached its end; returns the timeline's stamps of every packet of each.
std::vector<std::vector<int64_t>> ReadPart(Timeline& timeline, Track& picture, int64_t pictureEnd,
                                           Track& sound, int64_t soundEnd)
{
    std::vector<std::vector<int64_t>> placed(2);
    while (picture.next < pictureEnd || sound.next < soundEnd) {
        const bool pictureFirst =
            sound.next >= soundEnd || (picture.next < pictureEnd && picture.next <= sound.next);
        Track& track = pictureFirst ? picture : sound;
        placed[track.stream].push_back(
            Place(timeline, track.stream, track.next, track.next, track.duration).dts);
        track.next += track.duration;
    }
    return placed;
}

// Sound that starts before or after the picture keeps its offset from the
// job's zero: tests/integration (SoundOffset) on real containers.
TEST(TimelineZero, PacketsWithOneStampOrNoneArePlacedAsFarAsTheyCanBe)
{
    // MPEG-TS: the clock starts at 1.4 s.
    const FormatPtr source = MakeSource({1, 90000}, {1, 90000});
    Timeline timeline(source.get(), 1'400'000);
    EXPECT_EQ(Place(timeline, kPicture, 126000 + 7200, 126000, 3600).pts, 7200);
    EXPECT_EQ(Place(timeline, kPicture, 129600 + 7200, AV_NOPTS_VALUE, 3600).pts, 10800);
    const Placed unknown = Place(timeline, kSound, AV_NOPTS_VALUE, AV_NOPTS_VALUE, 2160);
    EXPECT_EQ(unknown.pts, AV_NOPTS_VALUE);
    EXPECT_EQ(unknown.dts, AV_NOPTS_VALUE);
}

TEST(TimelineZero, ReorderingAndGapsUnderTheLimitsAreNoSplices)
{
    const FormatPtr source = MakeSource(kMilliseconds, kMilliseconds);
    Timeline timeline(source.get(), 0);
    EXPECT_EQ(Place(timeline, kPicture, 1000, 1000, 40).dts, 1000);
    // A step back of 0.4 s stays where it is: a glitch, not a new part.
    EXPECT_EQ(Place(timeline, kPicture, 640, 640, 40).dts, 640);
    // A gap of 9 s stays a gap: the picture is missing for that long.
    EXPECT_EQ(Place(timeline, kPicture, 9680, 9680, 40).dts, 9680);
}

TEST(TimelineFarStamps, APresentationStampFarFromItsDecodingStampIsDropped)
{
    const FormatPtr source = MakeSource({1, 90000}, {1, 44100});
    Timeline timeline(source.get(), 0);
    // 20 s ahead or behind its decoding stamp: damaged, left to the decoder.
    for (const int64_t offset : {20 * 90000, -20 * 90000}) {
        const Placed placed = Place(timeline, kPicture, 90000 + offset, 90000, 3600);
        EXPECT_EQ(placed.pts, AV_NOPTS_VALUE) << offset;
        EXPECT_EQ(placed.dts, 90000) << offset;
    }
    // 2 s of reordering is a picture's stamp, kept.
    EXPECT_EQ(Place(timeline, kPicture, 93600 + 180000, 93600, 3600).pts, 273600);
    // The dropped stamps made no splice: the stream goes on where it was.
    EXPECT_EQ(Place(timeline, kPicture, 97200, 97200, 3600).dts, 97200);
    // A sound stamp far off is dropped in its own time base too.
    EXPECT_EQ(Place(timeline, kSound, 44100 * 15, 0, 1152).pts, AV_NOPTS_VALUE);
}

// Two parts joined, each a picture at 25 fps and MP3 sound (packets of about
// 26 ms) in Matroska's milliseconds, the picture soundLead after the sound;
// the second part's stamps start at secondStart.
struct JoinedParts {
    std::vector<std::vector<int64_t>> second;
    int64_t pictureEnd, soundEnd; // where the first part ended on the timeline
};

// Reads both parts; returns the placed stamps of the second.

JoinedParts ReadJoined(Timeline& timeline, int64_t firstLength, int64_t secondStart,
                       int64_t secondLength, int64_t soundLead)
{
    Track picture{kPicture, 40, soundLead};
    Track sound{kSound, 26, 0};
    const auto first = ReadPart(timeline, picture, firstLength, sound, firstLength);
    JoinedParts parts{{}, first[kPicture].back() + 40, first[kSound].back() + 26};
    picture.next = secondStart + soundLead;
    sound.next = secondStart;
    parts.second =
        ReadPart(timeline, picture, secondStart + secondLength, sound, secondStart + secondLength);
    return parts;
}

// Both streams of the second part take one shift: the first stream to reach
// the splice goes on from its own end, and the other keeps beside it.
void ExpectOneShift(const JoinedParts& parts, int firstToSplice, int64_t secondStart,
                    int64_t soundLead)
{
    const int64_t shift = (firstToSplice == kPicture ? parts.pictureEnd - soundLead - secondStart
                                                     : parts.soundEnd - secondStart);
    EXPECT_EQ(parts.second[kPicture].front(), secondStart + soundLead + shift);
    EXPECT_EQ(parts.second[kSound].front(), secondStart + shift);
    for (int stream : {kPicture, kSound}) {
        const auto& stamps = parts.second[stream];
        const int64_t step = stream == kPicture ? 40 : 26;
        for (size_t i = 1; i < stamps.size(); ++i)
            ASSERT_EQ(stamps[i], stamps[i - 1] + step) << "stream " << stream << " packet " << i;
    }
}

TEST(TimelineSplices, StampsThatStartAgainGoOnAfterTheFirstPart)
{
    // 2.24 s, then 3.64 s whose stamps start at 0 again, both parts whole:
    // tests/integration (Splices) on transport streams joined with cat.
    const FormatPtr source = MakeSource(kMilliseconds, kMilliseconds);
    Timeline picturesFirst(source.get(), 0);
    ExpectOneShift(ReadJoined(picturesFirst, 2240, 0, 3640, 0), kPicture, 0, 0);
    // The sound 30 ms ahead of the picture: the sound reaches the splice first.
    Timeline soundFirst(source.get(), 0);
    ExpectOneShift(ReadJoined(soundFirst, 2240, 0, 3640, 30), kSound, 0, 30);
}

TEST(TimelineSplices, AWrongStampInOneStreamDoesNotPartTheStreamsAtALaterSplice)
{
    // The sound has one stamp gone wrong (an hour ahead) at 1 s, then the
    // file's stamps start again at 3 s (a second recording joined).
    const FormatPtr source = MakeSource(kMilliseconds, kMilliseconds);
    Timeline timeline(source.get(), 0);
    Track picture{kPicture, 40, 0};
    Track sound{kSound, 26, 0};
    ReadPart(timeline, picture, 1000, sound, 1000);
    Place(timeline, kSound, sound.next + 3'600'000, sound.next + 3'600'000, 26);
    sound.next += 26;
    const auto first = ReadPart(timeline, picture, 3000, sound, 3000);
    const int64_t pictureEnd = first[kPicture].back() + 40;
    const int64_t soundEnd = first[kSound].back() + 26;
    ASSERT_EQ(pictureEnd, 3000);
    ASSERT_NEAR(soundEnd, 3000, 26) << "the wrong stamp moved the sound around it";

    picture.next = sound.next = 0;
    const auto second = ReadPart(timeline, picture, 2000, sound, 2000);
    EXPECT_EQ(second[kPicture].front(), 3000);
    EXPECT_NEAR(second[kSound].front(), second[kPicture].front(), 26)
        << "the sound of the second recording is placed apart from its picture";
}

} // namespace
} // namespace calvex::media::ffmpeg
