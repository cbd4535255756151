// SPDX-License-Identifier: GPL-2.0-or-later
#include "media/ffmpeg/filter_stage.h"

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
                         std::string convertFailure, EncoderStage& encoder, PacketSink& mux,
                         const std::atomic<bool>& stop)
    : m_source(source), m_plan(plan), m_convertFailure(std::move(convertFailure)),
      m_encoder(encoder), m_mux(mux), m_stop(stop)
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
        if (m_plan.kind == AVMEDIA_TYPE_VIDEO && FilterChain::Converts(frame, m_plan))
            m_thread = std::make_unique<StageThread>("filter", static_cast<FrameWork&>(*this),
                                                     kQueueLength, m_stop);
    }
    if (!m_thread)
        return FilterHere(frame);
    return m_filtered && m_thread->Push(frame);
}

bool FilterStage::FilterHere(AVFrame* frame)
{
    const bool filtered = !m_failed && m_filtered && Filter(frame);
    av_frame_unref(frame);
    if (!filtered && !m_stop.load())
        m_failed = true;
    return filtered;
}

bool FilterStage::Finish(int64_t endPts)
{
    m_givenEnd.store(endPts);
    if (!m_thread)
        return !m_failed && EndChain();
    return m_thread->Finish();
}

void FilterStage::Cancel()
{
    if (m_thread)
        m_thread->Cancel();
}

FrameWork::Step FilterStage::Take(AVFrame* frame)
{
    if (m_stop.load())
        return Step::Done;
    if (Filter(frame))
        return Step::Next;
    return m_stop.load() ? Step::Done : Step::Fail;
}

bool FilterStage::End()
{
    // A stopped job does not want the chain's rest.
    return m_stop.load() || EndChain();
}

void FilterStage::NoteFault(const std::string& what)
{
    m_mux.Fail("The filter stage stopped on an internal fault: " + what);
}

bool FilterStage::EndChain()
{
    const int64_t given = m_givenEnd.load();
    const int64_t end = given != AV_NOPTS_VALUE ? given : m_endPts;
    return !m_chain.IsConfigured() || (m_chain.PushEnd(end) >= 0 && PassFiltered());
}

bool FilterStage::Filter(AVFrame* frame)
{
    if (!m_chain.IsConfigured() || !m_chain.Accepts(frame)) {
        // A change of picture or sound format mid-stream: finish the old chain first.
        if (!EndChain())
            return false;
        if (!m_chain.Configure(frame, m_source, m_plan)) {
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
