// SPDX-License-Identifier: GPL-2.0-or-later
// The AVI multiplexer of a running graph: holds packets back until every
// stream's format is known (encoders open on their first frame), then writes
// the header, the interleaved packets and the trailer (the OpenDML index).
// Streams may write from threads of their own (see EncoderThread).
#pragma once

#include "media/ffmpeg/av_ptr.h"
#include "media/ffmpeg/failure.h"
#include "media/ffmpeg/packet_sink.h"

#include <atomic>
#include <deque>
#include <filesystem>
#include <functional>
#include <mutex>
#include <vector>

namespace calvex::media::ffmpeg {

class OutputMux : public PacketSink {
public:
    // Failures of the file, and of the routes that write to it, go to failure.
    explicit OutputMux(FailureNote& failure) : m_failure(failure) {}

    // Creates the AVI context and opens path for writing; false on failure.
    bool Open(const std::filesystem::path& path);
    // A mux that writes no file and counts what it is given (an analysis pass).
    bool OpenCounting();
    // True once Open has created the file.
    bool Created() const { return m_created; }
    // Notes why the job fails (the first reason is kept).
    void Fail(const std::string& reason) override { m_failure.Note(reason); }

    // A new stream, not ready yet; -1 on failure.
    int AddStream();
    // Fills stream index's parameters (under the mux's lock) and makes it
    // ready: its packets are written once every stream is. The mux reads a
    // stream's parameters only from then on. False, and not ready, when fill fails.
    bool ReadyStream(int index, const std::function<bool(AVStream&)>& fill) override;
    bool HeaderWritten() const;
    size_t PendingCount() const;

    // Takes packet (time stamps in timeBase) for stream index; false on a write error.
    bool Write(int index, AVPacket* packet, AVRational timeBase) override;
    // Writes the header if not yet written (a stream that never became
    // ready fails it), then the trailer; closes the file. False on a write
    // error, and when the file was not open or is already finished.
    // cutSound: the sound held ahead of the last picture is left out.
    bool Finish(bool cutSound = false);

    // Lets sound wait for pictures up to hns ahead of them (at least the
    // usual 10 s): pictures coded in stretches side by side are written
    // after the sound read with them.
    void HoldSoundFor(int64_t hns);

    // Time of the last packet written, in 100-nanosecond units.
    int64_t LastTimeHns() const { return m_lastTimeHns.load(); }
    int64_t PacketsWritten(int index) const;
    int64_t BytesWritten(int index) const;

private:
    struct Pending {
        PacketPtr packet;
        AVRational timeBase;
        int64_t endHns = 0;
    };

    // Sound ahead of the last picture written waits (up to this much), so
    // that an aborted job can end its sound with its picture.
    static constexpr int64_t kMaxSoundAheadHns = 10 * 10000000LL;

    AVStream* StreamAt(int index) const { return m_context->streams[index]; }
    bool WriteHeaderWhenReady();
    // Finish's writing: held sound, header, trailer.
    bool WriteEnd(bool cutSound);
    // Writes a packet, or holds sound that is ahead of the last picture.
    bool Submit(AVPacket* packet, AVRational timeBase);
    // Writes the sound held up to untilHns.
    bool WriteHeld(int64_t untilHns);
    static int64_t EndHns(const AVPacket* packet, AVRational timeBase);
    bool WriteNow(AVPacket* packet, AVRational timeBase);
    void KeepTimesIncreasing(AVPacket* packet);
    bool WriteFailed(int code);

    FailureNote& m_failure;
    std::filesystem::path m_path;
    bool m_created = false;

    // Guards everything below: routes write from threads of their own.
    mutable std::mutex m_mutex;
    OutputContextPtr m_context;
    std::vector<bool> m_ready;
    std::vector<int64_t> m_written;
    std::vector<int64_t> m_bytes;
    bool m_open = false;            // from Open to Finish
    std::vector<int64_t> m_lastDts; // per stream, in the stream's time base
    std::deque<Pending> m_pending;
    bool m_headerWritten = false;
    bool m_hasPicture = false;
    int64_t m_pictureEndHns = INT64_MIN;
    std::deque<Pending> m_held;
    int64_t m_soundHoldHns = kMaxSoundAheadHns;
    std::atomic<int64_t> m_lastTimeHns{0};
};

} // namespace calvex::media::ffmpeg
