// SPDX-License-Identifier: GPL-2.0-or-later
// The AVI multiplexer on packets made here (MPEG-4 pictures, 320x240 at 25
// fps, and MP3 sound, 44.1 kHz stereo, with payloads that name each packet),
// its file read back with libavformat: what it holds back, what it writes,
// in which order, and why it fails.
#include "media/ffmpeg/output_mux.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

extern "C" {
#include <libavutil/channel_layout.h>
}

namespace calvex::media::ffmpeg {
namespace {
namespace fs = std::filesystem;

constexpr AVRational kFrameRate{1, 25};
constexpr AVRational kSampleRate{1, 44100};
constexpr int kSoundPacket = 1152; // samples of an MP3 frame

fs::path WorkFile(const std::string& name)
{
    const fs::path folder = fs::path(CALVEX_ENGINE_WORK_DIR);
    fs::create_directories(folder);
    fs::remove(folder / name);
    return folder / name;
}

// One packet as the file holds it: its stream and the number its payload names.
struct Chunk {
    int stream;
    int number;
    bool operator==(const Chunk&) const = default;
};

// Every non-empty packet of the file, in the file's order, as libavformat
// reads it (without parsers: the payloads are no real MPEG data).
std::vector<Chunk> ReadBack(const fs::path& path)
{
    std::vector<Chunk> chunks;
    AVFormatContext* raw = nullptr;
    AVDictionary* options = nullptr;
    av_dict_set(&options, "fflags", "+noparse", 0);
    const int opened = avformat_open_input(&raw, path.c_str(), nullptr, &options);
    av_dict_free(&options);
    if (opened < 0) {
        ADD_FAILURE() << "cannot read back " << path;
        return chunks;
    }
    InputContextPtr input(raw);
    PacketPtr packet = MakePacket();
    while (av_read_frame(input.get(), packet.get()) >= 0) {
        int number = 0;
        if (packet->size >= static_cast<int>(sizeof number)) {
            std::memcpy(&number, packet->data, sizeof number);
            chunks.push_back({packet->stream_index, number});
        }
        av_packet_unref(packet.get());
    }
    return chunks;
}

std::vector<int> NumbersOf(const std::vector<Chunk>& chunks, int stream)
{
    std::vector<int> numbers;
    for (const Chunk& chunk : chunks)
        if (chunk.stream == stream)
            numbers.push_back(chunk.number);
    return numbers;
}

std::vector<int> Count(int from, int to)
{
    std::vector<int> numbers;
    for (int number = from; number < to; ++number)
        numbers.push_back(number);
    return numbers;
}

// An OutputMux writing a picture stream (0) and a sound stream (1), whose
// parameters are filled as the encoders would fill them.
class MuxFile {
public:
    static constexpr int kPicture = 0;
    static constexpr int kSound = 1;

    explicit MuxFile(fs::path path) : m_path(std::move(path)) {}

    // Opens the file and adds both streams; false when something failed.
    bool Open()
    {
        return m_mux.Open(m_path) && m_mux.AddStream() == kPicture && m_mux.AddStream() == kSound;
    }

    // Fills the stream's parameters as its encoder would, and makes it ready.
    bool Ready(int index)
    {
        return m_mux.ReadyStream(index, [index](AVStream& stream) {
            if (index == kPicture) {
                stream.time_base = kFrameRate;
                stream.codecpar->codec_type = AVMEDIA_TYPE_VIDEO;
                stream.codecpar->codec_id = AV_CODEC_ID_MPEG4;
                stream.codecpar->width = 320;
                stream.codecpar->height = 240;
                return true;
            }
            stream.time_base = kSampleRate;
            stream.codecpar->codec_type = AVMEDIA_TYPE_AUDIO;
            stream.codecpar->codec_id = AV_CODEC_ID_MP3;
            stream.codecpar->sample_rate = 44100;
            stream.codecpar->frame_size = kSoundPacket;
            stream.codecpar->bit_rate = 128000;
            av_channel_layout_default(&stream.codecpar->ch_layout, 2);
            return true;
        });
    }

    // Picture number, at 25 fps.
    bool WritePicture(int number) { return Write(kPicture, number, number, 1, kFrameRate); }
    // Sound packet number, 1152 samples from number * 1152.
    bool WriteSound(int number) { return WriteSound(number, int64_t{number} * kSoundPacket); }
    // Sound packet number stamped at stamp (in samples).
    bool WriteSound(int number, int64_t stamp)
    {
        return Write(kSound, number, stamp, kSoundPacket, kSampleRate);
    }
    bool WritePictures(int from, int to)
    {
        for (int number = from; number < to; ++number)
            if (!WritePicture(number))
                return false;
        return true;
    }
    bool WriteSounds(int from, int to)
    {
        for (int number = from; number < to; ++number)
            if (!WriteSound(number))
                return false;
        return true;
    }

    OutputMux& Mux() { return m_mux; }
    const fs::path& Path() const { return m_path; }
    std::string Reason() const { return m_failure.Reason(); }

private:
    bool Write(int stream, int number, int64_t stamp, int64_t duration, AVRational timeBase)
    {
        PacketPtr packet = MakePacket();
        if (!packet || av_new_packet(packet.get(), 64) < 0)
            return false;
        std::memset(packet->data, 0, packet->size);
        std::memcpy(packet->data, &number, sizeof number);
        packet->pts = packet->dts = stamp;
        packet->duration = duration;
        packet->flags |= AV_PKT_FLAG_KEY;
        return m_mux.Write(stream, packet.get(), timeBase);
    }

    FailureNote m_failure;
    OutputMux m_mux{m_failure};
    fs::path m_path;
};

constexpr int kPicture = MuxFile::kPicture;
constexpr int kSound = MuxFile::kSound;

// Sound held back for the pictures and cut at an aborted job's last picture:
// tests/integration (Aborts) on real encoders.
TEST(OutputMuxHeldSound, IsWrittenAtTheEndWhenTheHeaderIsWrittenThereToo)
{
    // The sound's encoder opened only at the source's end, without a frame
    // (as the graph opens a waiting encoder), so the header waits for Finish.
    MuxFile file(WorkFile("held-header-at-end.avi"));
    ASSERT_TRUE(file.Open()) << file.Reason();
    ASSERT_TRUE(file.Ready(kPicture));
    ASSERT_TRUE(file.WritePictures(0, 5));
    ASSERT_TRUE(file.WriteSounds(0, 10));
    ASSERT_TRUE(file.Ready(kSound));
    ASSERT_TRUE(file.Mux().Finish(false)) << file.Reason();
    EXPECT_EQ(file.Mux().PacketsWritten(kSound), 10);
    EXPECT_EQ(NumbersOf(ReadBack(file.Path()), kSound), Count(0, 10))
        << "the sound after the last picture of a completed job is lost";
}

TEST(OutputMuxHeldSound, IsNeverOvertakenByLaterSoundWhatEverThePicturesTiming)
{
    // Sound whose stamps step back (two recordings joined): a packet after
    // the step is behind the pictures already written, while the packets
    // before it wait for theirs. It must not go out first: whether they were
    // waiting depends on how far the picture's encoder had come.
    MuxFile file(WorkFile("held-order.avi"));
    ASSERT_TRUE(file.Open()) << file.Reason();
    ASSERT_TRUE(file.Ready(kPicture));
    ASSERT_TRUE(file.Ready(kSound));
    ASSERT_TRUE(file.WritePictures(0, 3)); // up to 120 ms
    ASSERT_TRUE(file.WriteSounds(0, 6));   // 0 to 156 ms: 4 and 5 wait
    ASSERT_TRUE(file.WriteSound(6, 2 * kSoundPacket));
    ASSERT_TRUE(file.WritePictures(3, 10));
    ASSERT_TRUE(file.Mux().Finish(false)) << file.Reason();
    EXPECT_EQ(NumbersOf(ReadBack(file.Path()), kSound), Count(0, 7));
}

} // namespace
} // namespace calvex::media::ffmpeg
