// Runs an opened encoder on a thread of its own, fed through a short queue,
// so that decoding (on the graph's thread) and encoding overlap.
#pragma once

#include "media/ffmpeg/av_ptr.h"
#include "media/ffmpeg/output_mux.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace calvex::media::ffmpeg {

class EncoderThread {
public:
    EncoderThread(AVCodecContext* encoder, OutputMux& mux, int outputIndex);
    ~EncoderThread();
    EncoderThread(const EncoderThread&) = delete;
    EncoderThread& operator=(const EncoderThread&) = delete;

    // Takes the frame's data (pts in the encoder's time base), waiting while
    // the queue is full. False once encoding or writing has failed.
    bool Push(AVFrame* frame);
    // Encodes what is queued, flushes the encoder, ends the thread. False on failure.
    bool Finish();
    // Drops what is queued and ends the thread without flushing.
    void Halt();

private:
    void Loop();
    bool Encode(AVFrame* frame);
    bool ReceivePackets();
    void End(bool flush);

    // A few frames are enough to keep both sides busy; more only costs memory.
    static constexpr size_t kQueueLength = 3;

    AVCodecContext* m_encoder;
    OutputMux& m_mux;
    int m_outputIndex;
    PacketPtr m_packet = MakePacket();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<FramePtr> m_queue;
    bool m_ending = false;
    bool m_flush = false;
    bool m_failed = false;
    std::thread m_thread;
};

} // namespace calvex::media::ffmpeg
