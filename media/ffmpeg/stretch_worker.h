// SPDX-License-Identifier: GPL-2.0-or-later
// Codes stretches of a picture stream on a thread of its own: each stretch
// is decoded from its own source packets (from a key frame on), converted
// and coded by an encoder of its own, which starts it with a key frame; its
// packets go to the stretch order. Several workers code stretches side by
// side, which spreads an encoder without threads of its own over the cores.
#pragma once

#include "media/ffmpeg/encoder_stage.h"
#include "media/ffmpeg/filter_stage.h"
#include "media/ffmpeg/frame_clock.h"
#include "media/ffmpeg/stage_queue.h"
#include "media/ffmpeg/stretch_order.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

namespace calvex::media::ffmpeg {

// Which pictures a stretch keeps, by their time (source time base, on the
// job's timeline): from start (AV_NOPTS_VALUE: all before) up to, not
// including, end (AV_NOPTS_VALUE: to the source's end).
struct StretchBounds {
    size_t index = 0;
    int64_t start = AV_NOPTS_VALUE;
    int64_t end = AV_NOPTS_VALUE;
};

struct StretchCoding {
    const AVStream* source;
    const AVCodec* encoder;
    EncoderPlan plan;
    OptionValues options;
    int64_t sourceLength = 0; // AV_TIME_BASE units; 0 when unknown
};

class StretchWorker {
public:
    // packetsHeld: the source packets waiting for the worker at most; a
    // Push waits for room.
    StretchWorker(const StretchCoding& coding, StretchOrder& order, size_t packetsHeld,
                  const std::atomic<bool>& stop);
    ~StretchWorker();
    StretchWorker(const StretchWorker&) = delete;
    StretchWorker& operator=(const StretchWorker&) = delete;

    // Opens the decoder; false (the reason noted) when it cannot.
    bool Start();
    // True while no stretch is given to the worker (or it has ended).
    bool IsIdle() const { return m_idle.load(); }
    bool Failed() const { return m_failed.load(); }
    // Gives the worker a stretch; its packets follow.
    bool Begin(const StretchBounds& bounds);
    // The stretch's end, known once the next stretch's key frame is read:
    // pictures from then on are the next stretch's.
    bool EndAt(int64_t end);
    bool Push(const AVPacket* packet);
    // The stretch has all its packets: the worker finishes it and is idle again.
    bool Close();
    // After a stop: the stretch being written gives what its encoder holds,
    // until deadline; the others are dropped. Ends the thread.
    void FinishBy(std::chrono::steady_clock::time_point deadline);
    // Ends the thread; what it holds is dropped.
    void Halt();

private:
    // What the worker's thread is handed, in order.
    struct Step {
        enum class Kind { Begin, End, Packet, Close } kind;
        StretchBounds bounds;
        PacketPtr packet;
    };

    void Run();
    bool Take(Step& step);
    bool BeginStretch(const StretchBounds& bounds);
    bool Decode(AVPacket* packet);
    bool PassDecoded();
    bool Keeps(const AVFrame* frame) const;
    bool FinishStretch();
    void EndOnStop();

    const StretchCoding m_coding;
    StretchOrder& m_order;
    const std::atomic<bool>& m_stop;
    CodecContextPtr m_decoder;
    FrameClock m_clock;
    FramePtr m_decoded = MakeFrame();
    StretchBounds m_bounds;
    std::unique_ptr<StretchSink> m_sink;
    // The filter stage hands its frames to the encoder stage: declared after
    // it, so that it ends first.
    std::unique_ptr<EncoderStage> m_encoder;
    std::unique_ptr<FilterStage> m_filter;
    std::atomic<bool> m_idle{true};
    std::atomic<bool> m_failed{false};
    std::atomic<std::chrono::steady_clock::time_point> m_deadline{
        std::chrono::steady_clock::time_point::max()};
    StageQueue<Step> m_steps;
    // Last: the thread starts once everything it uses exists.
    std::thread m_thread;
};

} // namespace calvex::media::ffmpeg
