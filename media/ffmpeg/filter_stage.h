// SPDX-License-Identifier: GPL-2.0-or-later
// The filtering stage of a transcoded stream: converts the decoded frames
// with the filter chain (frame rate, size, picture or sound format) and hands
// them to the encoding stage. Pictures that change size or format are worth a
// thread of their own, fed through a short queue; the rest (sound, a frame
// rate alone) is filtered on the decoding thread, holding no frames back.
#pragma once

#include "media/ffmpeg/encoder_stage.h"
#include "media/ffmpeg/filter_chain.h"
#include "media/ffmpeg/stage_thread.h"

#include <atomic>
#include <memory>
#include <string>

namespace calvex::media::ffmpeg {

class FilterStage : private FrameWork {
public:
    // Frames of source (stamped in its time base) become what plan asks for
    // and go to encoder; convertFailure is the reason noted when the chain
    // cannot be built.
    FilterStage(const AVStream* source, const EncoderPlan& plan, std::string convertFailure,
                EncoderStage& encoder, PacketSink& mux, const std::atomic<bool>& stop);
    ~FilterStage() override;
    FilterStage(const FilterStage&) = delete;
    FilterStage& operator=(const FilterStage&) = delete;

    // Takes the decoded frame's data, waiting while the queue is full. False
    // when not taken: the stage has failed or the job stops. The first frame
    // decides whether the stage runs a thread.
    bool Push(AVFrame* frame);
    // The source's end: filters what is queued and what the chain holds,
    // ends the thread. False on failure. endPts: where the pictures end (the
    // frame rate is filled up to it); by default just after the last one.
    bool Finish(int64_t endPts = AV_NOPTS_VALUE);
    // Drops what is queued and ends the thread.
    void Cancel();

private:
    bool FilterHere(AVFrame* frame);
    // The stage thread's work.
    Step Take(AVFrame* frame) override;
    bool End() override;
    void NoteFault(const std::string& what) override;

    bool Filter(AVFrame* frame);
    bool EndChain();
    bool PassFiltered();
    int64_t FrameDuration(const AVFrame* frame) const;

    const AVStream* m_source;
    const EncoderPlan m_plan;
    const std::string m_convertFailure;
    EncoderStage& m_encoder;
    PacketSink& m_mux;
    const std::atomic<bool>& m_stop;
    FilterChain m_chain;
    int64_t m_endPts = AV_NOPTS_VALUE; // just after the last decoded frame, source time base
    std::atomic<int64_t> m_givenEnd{AV_NOPTS_VALUE};
    FramePtr m_filtered = MakeFrame();
    bool m_failed = false; // filtering on the decoding thread has failed
    bool m_decided = false;
    // Last: the thread, when the stage has one, uses everything above.
    std::unique_ptr<StageThread> m_thread;
};

} // namespace calvex::media::ffmpeg
