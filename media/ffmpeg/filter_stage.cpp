// SPDX-License-Identifier: GPL-2.0-or-later
#include "media/ffmpeg/filter_stage.h"

#include "media/ffmpeg/thread_name.h"

#include <algorithm>

namespace calvex::media::ffmpeg {
namespace {

// Decoded pictures waiting for the chain: two let both sides go on through
// a picture that takes longer than the others.
constexpr size_t kQueueLength = 2;

bool IsEndOrMore(int code)
{
    return code == AVERROR(EAGAIN) || code == AVERROR_EOF;
}

} // namespace

FilterStage::FilterStage(const AVStream* source, const EncoderPlan& plan,
                         std::string convertFailure, EncoderStage& encoder, OutputMux& mux,
                         const std::atomic<bool>& stop)
    : m_source(source), m_plan(plan), m_convertFailure(std::move(convertFailure)),
      m_encoder(encoder), m_mux(mux), m_stop(stop), m_queue(kQueueLength, stop)
{
}

FilterStage::~FilterStage()
{
    Cancel();
}

bool FilterStage::Push(AVFrame* frame)
{
    if (!m_decided) {
        m_decided = true;
        m_threaded = m_plan.kind == AVMEDIA_TYPE_VIDEO && FilterChain::Converts(frame, m_plan);
        if (m_threaded)
            m_thread = std::thread([this] { Run(); });
    }
    if (!m_threaded)
        return FilterHere(frame);
    FramePtr queued = MakeFrame();
    if (!queued || m_failed)
        return false;
    av_frame_move_ref(queued.get(), frame);
    return m_queue.Push(std::move(queued));
}

bool FilterStage::FilterHere(AVFrame* frame)
{
    const bool filtered = !m_failed && m_filtered && Filter(frame);
    av_frame_unref(frame);
    if (!filtered && !m_stop.load())
        m_failed = true;
    return filtered;
}

bool FilterStage::Finish()
{
    if (!m_threaded)
        return !m_failed && EndChain();
    m_queue.Close();
    Join();
    return !m_failed;
}

void FilterStage::Cancel()
{
    m_queue.Cancel();
    Join();
}

void FilterStage::Join()
{
    if (m_thread.joinable())
        m_thread.join();
}

void FilterStage::Run()
{
    NameThisThread("filter");
    // Nothing may end the program from this thread: a fault fails the stage.
    try {
        if (!Loop())
            m_failed = true;
    } catch (const std::exception& fault) {
        m_mux.Fail(std::string("The filter stage stopped on an internal fault: ") + fault.what());
        m_failed = true;
    }
    // Whatever ended the thread, no one waits for room in its queue any more.
    m_queue.Cancel();
}

bool FilterStage::Loop()
{
    if (!m_filtered)
        return false;
    while (std::optional<FramePtr> frame = m_queue.Pop()) {
        if (m_stop.load())
            return true;
        if (!Filter(frame->get()))
            return m_stop.load();
    }
    // Cancelled (an abort, a failure elsewhere): the chain's rest is not wanted.
    if (m_queue.IsCancelled() || m_stop.load())
        return true;
    return EndChain();
}

bool FilterStage::EndChain()
{
    return !m_chain.IsConfigured() || (m_chain.PushEnd(m_endPts) >= 0 && PassFiltered());
}

bool FilterStage::Filter(AVFrame* frame)
{
    if (!m_chain.IsConfigured() || !m_chain.Accepts(frame)) {
        // A change of picture or sound format mid-stream: finish the old chain first.
        if (!EndChain())
            return false;
        if (!m_chain.Configure(frame, m_source->time_base, m_plan)) {
            m_mux.Fail(m_convertFailure);
            return false;
        }
    }
    if (frame->pts != AV_NOPTS_VALUE)
        m_endPts = frame->pts + FrameDuration(frame);
    if (m_chain.Push(frame) < 0)
        return false;
    return PassFiltered();
}

int64_t FilterStage::FrameDuration(const AVFrame* frame) const
{
    if (m_plan.kind != AVMEDIA_TYPE_VIDEO) {
        if (frame->pkt_duration > 0)
            return frame->pkt_duration;
        return av_rescale_q(frame->nb_samples, {1, frame->sample_rate}, m_source->time_base);
    }
    // A picture lasts at least one frame of the output's rate, so that a last
    // frame the container cut short is still written.
    const int64_t outputFrame =
        av_rescale_q(1, av_inv_q(m_plan.video.frameRate), m_source->time_base);
    return std::max<int64_t>(frame->pkt_duration, outputFrame);
}

bool FilterStage::PassFiltered()
{
    // A stop is looked at for every frame: a chain can give many for one
    // input (a frame rate filling a gap).
    while (!m_stop.load()) {
        const int pulled = m_chain.Pull(m_filtered.get());
        if (IsEndOrMore(pulled))
            return true;
        if (pulled < 0)
            return false;
        const bool encoded = m_encoder.Encode(m_filtered.get(), m_chain.OutputTimeBase());
        av_frame_unref(m_filtered.get());
        if (!encoded)
            return false;
    }
    return true;
}

} // namespace calvex::media::ffmpeg
