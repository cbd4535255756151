// SPDX-License-Identifier: GPL-2.0-or-later
#include "media/ffmpeg/stretch_worker.h"

#include "media/ffmpeg/stream_route.h"
#include "media/ffmpeg/thread_name.h"

namespace calvex::media::ffmpeg {
namespace {

// Each worker's pictures wait for its encoder one at a time: the workers
// side by side keep the cores busy, and every picture held costs memory
// once per worker.
constexpr size_t kEncoderQueue = 1;

} // namespace

StretchWorker::StretchWorker(const StretchCoding& coding, StretchOrder& order, size_t packetsHeld,
                             const std::atomic<bool>& stop)
    : m_coding(coding), m_order(order), m_stop(stop), m_clock(coding.source),
      m_steps(packetsHeld, stop)
{
}

StretchWorker::~StretchWorker()
{
    Halt();
}

bool StretchWorker::Start()
{
    // The workers side by side are the threads: each decodes on one.
    StretchSink failures(m_order, 0); // notes why, writes nothing
    m_decoder = OpenDecoder(m_coding.source, 1, failures);
    if (!m_decoder || !m_decoded)
        return false;
    m_thread = std::thread([this] { Run(); });
    return true;
}

bool StretchWorker::Begin(const StretchBounds& bounds)
{
    m_idle.store(false);
    return m_steps.Push(Step{Step::Kind::Begin, bounds, nullptr});
}

bool StretchWorker::EndAt(int64_t end)
{
    return m_steps.Push(Step{Step::Kind::End, StretchBounds{0, AV_NOPTS_VALUE, end}, nullptr});
}

bool StretchWorker::Push(const AVPacket* packet)
{
    PacketPtr copy = MakePacket();
    if (!copy || av_packet_ref(copy.get(), packet) < 0)
        return false;
    return m_steps.Push(Step{Step::Kind::Packet, {}, std::move(copy)});
}

bool StretchWorker::Close()
{
    return m_steps.Push(Step{Step::Kind::Close, {}, nullptr});
}

void StretchWorker::FinishBy(std::chrono::steady_clock::time_point deadline)
{
    m_deadline.store(deadline);
    m_steps.Close();
    if (m_thread.joinable())
        m_thread.join();
}

void StretchWorker::Halt()
{
    m_steps.Cancel();
    if (m_thread.joinable())
        m_thread.join();
    m_filter.reset();
    m_encoder.reset();
}

void StretchWorker::Run()
{
    NameThisThread("stretch");
    try {
        while (std::optional<Step> step = m_steps.Pop()) {
            if (m_stop.load())
                break;
            if (!Take(*step)) {
                m_failed.store(!m_stop.load());
                break;
            }
        }
        if (m_stop.load() && !m_steps.IsCancelled())
            EndOnStop();
    } catch (const std::exception& fault) {
        m_order.Fail(std::string("A picture stretch stopped on an internal fault: ") +
                     fault.what());
        m_failed.store(true);
    }
    m_idle.store(true);
}

bool StretchWorker::Take(Step& step)
{
    switch (step.kind) {
    case Step::Kind::Begin:
        return BeginStretch(step.bounds);
    case Step::Kind::End:
        m_bounds.end = step.bounds.end;
        return true;
    case Step::Kind::Packet:
        return Decode(step.packet.get());
    case Step::Kind::Close:
        return FinishStretch();
    }
    return false;
}

bool StretchWorker::BeginStretch(const StretchBounds& bounds)
{
    m_bounds = bounds;
    m_filter.reset();
    m_encoder.reset();
    m_sink = std::make_unique<StretchSink>(m_order, bounds.index);
    m_encoder = std::make_unique<EncoderStage>(m_coding.encoder, m_coding.plan, m_coding.options,
                                               *m_sink, 0, m_stop, kEncoderQueue);
    m_filter = std::make_unique<FilterStage>(m_coding.source, m_coding.plan,
                                             ConvertFailure(m_coding.source, m_coding.encoder),
                                             *m_encoder, *m_sink, m_stop);
    return true;
}

bool StretchWorker::Decode(AVPacket* packet)
{
    // A decoder with frames to give first refuses the packet (EAGAIN) until
    // they are taken; then it takes it. A damaged packet is skipped.
    if (avcodec_send_packet(m_decoder.get(), packet) == AVERROR(EAGAIN)) {
        if (!PassDecoded())
            return false;
        if (!m_stop.load())
            avcodec_send_packet(m_decoder.get(), packet);
    }
    return PassDecoded();
}

bool StretchWorker::Keeps(const AVFrame* frame) const
{
    const int64_t pts = frame->pts;
    if (pts == AV_NOPTS_VALUE)
        return true;
    return (m_bounds.start == AV_NOPTS_VALUE || pts >= m_bounds.start) &&
           (m_bounds.end == AV_NOPTS_VALUE || pts < m_bounds.end);
}

bool StretchWorker::PassDecoded()
{
    while (!m_stop.load()) {
        if (avcodec_receive_frame(m_decoder.get(), m_decoded.get()) < 0)
            return true; // more input needed, the end, or a frame that could not be decoded
        m_clock.Stamp(m_decoded.get());
        // The pictures before the stretch's key frame (which a decoder
        // starting there cannot make whole) and from the next stretch's on
        // are the neighbours'.
        if (!Keeps(m_decoded.get())) {
            av_frame_unref(m_decoded.get());
            continue;
        }
        if (!m_filter->Push(m_decoded.get())) {
            av_frame_unref(m_decoded.get());
            return m_stop.load();
        }
    }
    return true;
}

bool StretchWorker::FinishStretch()
{
    avcodec_send_packet(m_decoder.get(), nullptr);
    if (!PassDecoded())
        return false;
    avcodec_flush_buffers(m_decoder.get());
    m_clock.Restart();
    // The frame rate is filled up to the next stretch's first picture.
    if (!m_filter->Finish(m_bounds.end) || !m_encoder->Finish())
        return false;
    m_filter.reset();
    m_encoder.reset();
    if (!m_order.Complete(m_bounds.index))
        return false;
    m_idle.store(true);
    return true;
}

void StretchWorker::EndOnStop()
{
    if (!m_encoder)
        return;
    // What waits for the filter is left; the stretch being written ends
    // with what its encoder gives in time, the others are dropped.
    m_filter->Cancel();
    if (m_order.IsWriting(m_bounds.index))
        m_encoder->FinishBy(m_deadline.load());
    else
        m_encoder->Halt();
}

} // namespace calvex::media::ffmpeg
