// SPDX-License-Identifier: GPL-2.0-or-later
// The encoding stage of a transcoded stream: the encoder opens on its first
// frame (some cannot be closed unused), runs on a thread of its own, and
// writes what it gives to the stream's place in the AVI file.
#pragma once

#include "media/ffmpeg/codec_threads.h"
#include "media/ffmpeg/encoder_plan.h"
#include "media/ffmpeg/encoder_thread.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>

namespace calvex::media::ffmpeg {

class EncoderStage {
public:
    // queueLength: frames waiting for the encoder at most; 0 for the usual
    // number of the plan's kind.
    EncoderStage(const AVCodec* codec, const EncoderPlan& plan, const OptionValues& options,
                 PacketSink& mux, int outputIndex, const std::atomic<bool>& stop,
                 size_t queueLength = 0);
    ~EncoderStage();
    EncoderStage(const EncoderStage&) = delete;
    EncoderStage& operator=(const EncoderStage&) = delete;

    // Takes the frame's data (pts in timeBase), opening the encoder on the
    // first one. False when not taken: the encoder failed or the job stops.
    bool Encode(AVFrame* frame, AVRational timeBase);
    // Opens the encoder without a frame, so that the header can be written;
    // false when it cannot be opened, or must not be opened that way.
    bool OpenWithoutFrame();
    // Encodes all it was given and what the encoder holds. False on failure.
    bool Finish();
    // As Finish, but only until deadline (an aborted job).
    bool FinishBy(std::chrono::steady_clock::time_point deadline);
    // Ends the encoding thread without flushing.
    void Halt();

private:
    bool Open(AVRational aspect);
    // A fresh context with threads and slices sized, opened; FFmpeg's code.
    int OpenContext(AVRational aspect, SliceCount slices, bool& ownSlices);

    const AVCodec* m_codec;
    const EncoderPlan m_plan;
    const OptionValues m_options;
    PacketSink& m_mux;
    const int m_outputIndex;
    const std::atomic<bool>& m_stop;
    const size_t m_queueLength;
    // The encoder opens on the filter stage's thread, or on the graph's
    // thread when it must open without a frame. m_context and m_thread are
    // set under this lock, once; they change no more until the stage ends.
    std::mutex m_openMutex;
    CodecContextPtr m_context;
    // Declared after m_context: the thread ends before the encoder is freed.
    std::unique_ptr<EncoderThread> m_thread;
};

} // namespace calvex::media::ffmpeg
