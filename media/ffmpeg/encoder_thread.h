// SPDX-License-Identifier: GPL-2.0-or-later
// Runs an opened encoder on a thread of its own, fed through a short queue,
// so that encoding overlaps with the stages before it.
#pragma once

#include "media/ffmpeg/av_ptr.h"
#include "media/ffmpeg/packet_sink.h"
#include "media/ffmpeg/stage_thread.h"
#include "media/ffmpeg/two_pass.h"

#include <atomic>
#include <chrono>

namespace calvex::media::ffmpeg {

// An opened encoder's way into the mux: what it gives goes to one stream.
class PacketWriter {
public:
    // passLog: where a first pass's statistics go; null otherwise.
    PacketWriter(AVCodecContext* encoder, PacketSink& mux, int outputIndex, TwoPassLog* passLog);
    // Sends frame (pts in the encoder's time base; null at the end) and writes
    // the packets the encoder gives back. False on failure.
    bool Encode(AVFrame* frame);
    // From now on, past deadline no more packets are taken: an aborted job
    // gets what the encoder can give in time, and ends.
    void SetDeadline(std::chrono::steady_clock::time_point deadline) { m_deadline = deadline; }
    bool IsPastDeadline() const { return std::chrono::steady_clock::now() > m_deadline.load(); }
    // Notes why the job fails.
    void Fail(const std::string& reason) { m_mux.Fail(reason); }
    const char* CodecName() const { return m_encoder->codec->name; }

private:
    // Runs an FFmpeg call on the encoder, sharing the lock of encoders that
    // open global state (see OpensGlobalState).
    template <class Call> int Coding(Call call);
    bool Failed(int code);

    AVCodecContext* m_encoder;
    PacketSink& m_mux;
    int m_outputIndex;
    TwoPassLog* m_passLog;
    const bool m_opensGlobalState;
    PacketPtr m_packet = MakePacket();
    std::atomic<std::chrono::steady_clock::time_point> m_deadline{
        std::chrono::steady_clock::time_point::max()};
};

class EncoderThread : private FrameWork {
public:
    // queueLength frames wait for the encoder at most; a Push waiting for
    // room gives up when stop turns true.
    EncoderThread(AVCodecContext* encoder, PacketSink& mux, int outputIndex, size_t queueLength,
                  const std::atomic<bool>& stop, TwoPassLog* passLog = nullptr);
    ~EncoderThread() override;
    EncoderThread(const EncoderThread&) = delete;
    EncoderThread& operator=(const EncoderThread&) = delete;

    // Takes the frame's data (pts in the encoder's time base), waiting while
    // the queue is full. False when not taken: encoding has failed or the job stops.
    bool Push(AVFrame* frame) { return m_stage.Push(frame); }
    // Encodes what is queued, flushes the encoder, ends the thread. False on failure.
    bool Finish() { return m_stage.Finish(); }
    // As Finish, but gives up at deadline (what is still queued is dropped).
    bool FinishBy(std::chrono::steady_clock::time_point deadline);
    // Drops what is queued and ends the thread without flushing.
    void Halt() { m_stage.Cancel(); }

private:
    Step Take(AVFrame* frame) override;
    bool End() override;
    void NoteFault(const std::string& what) override;

    PacketWriter m_writer;
    // Last: its thread uses the writer.
    StageThread m_stage;
};

} // namespace calvex::media::ffmpeg
