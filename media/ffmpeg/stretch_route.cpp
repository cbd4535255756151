// SPDX-License-Identifier: GPL-2.0-or-later
#include "media/ffmpeg/stretch_route.h"

#include "media/ffmpeg/output_mux.h"

#include <algorithm>
#include <thread>

namespace calvex::media::ffmpeg {
namespace {

// A stretch holds at least this many pictures of the output, or the
// encoder's own key frame interval if longer. Each stretch's encoder starts
// its rate control afresh, which overshoots at first: at 250 pictures Xvid
// made 1080p files 5 % (4 Mbit/s) to 17 % (1.5 Mbit/s) larger than one
// encoder does, at 500 2 % to 8 %. A short source gets shorter stretches,
// down to kShortestStretch, so that each worker has two: a last stretch
// coded alone leaves the other cores idle. A worker holds the packets of up
// to two stretches; a source whose key frames are further apart is read as
// its workers take it, side by side no more.
constexpr int64_t kFewestPictures = 500;
constexpr int64_t kShortestStretch = 250;

// Pictures shown before a key frame but coded after it follow it closely.
constexpr size_t kMostLeadingPictures = 16;

// sourcePictures: how many the output is expected to have; 0 when unknown.
int64_t FewestPictures(const OptionValues& options, int64_t sourcePictures, int workers)
{
    int64_t pictures = kFewestPictures;
    if (sourcePictures > 0)
        pictures = std::min(pictures, sourcePictures / (2 * workers));
    const auto keyInterval = static_cast<int64_t>(OptionNumber(options, "g"));
    return std::max({pictures, kShortestStretch, keyInterval});
}

int64_t PacketTime(const AVPacket* packet)
{
    return packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
}

} // namespace

StretchRoute::StretchRoute(const StretchCoding& coding, int workers)
    : m_coding(coding), m_workerCount(workers)
{
}

StretchRoute::~StretchRoute()
{
    Halt();
}

bool StretchRoute::Start(OutputMux& mux, const std::atomic<bool>& stop)
{
    m_stop = &stop;
    m_outputIndex = mux.AddStream();
    if (m_outputIndex < 0)
        return false;
    m_order = std::make_unique<StretchOrder>(mux, m_outputIndex, stop);
    const AVRational frame = av_inv_q(m_coding.plan.video.frameRate);
    const int64_t sourcePictures =
        m_coding.sourceLength > 0 ? av_rescale_q(m_coding.sourceLength, AV_TIME_BASE_Q, frame) : 0;
    const int64_t pictures = FewestPictures(m_coding.options, sourcePictures, m_workerCount);
    m_fewestTicks = av_rescale_q(pictures, frame, m_coding.source->time_base);
    // The sound read with the stretches ahead waits for their pictures.
    const int64_t stretchHns = av_rescale_q(pictures, frame, {1, 10000000});
    mux.HoldSoundFor((m_workerCount + 1) * stretchHns);
    for (int i = 0; i < m_workerCount; ++i) {
        m_workers.push_back(std::make_unique<StretchWorker>(
            m_coding, *m_order, static_cast<size_t>(2 * pictures), stop));
        if (!m_workers.back()->Start())
            return false;
    }
    return true;
}

bool StretchRoute::StartsStretch(const AVPacket* packet) const
{
    if (!(packet->flags & AV_PKT_FLAG_KEY) || packet->pts == AV_NOPTS_VALUE ||
        m_currentStart == AV_NOPTS_VALUE)
        return false;
    return packet->pts - m_currentStart >= m_fewestTicks;
}

bool StretchRoute::Feed(AVPacket* packet)
{
    // A packet not taken because the job stops is no failure.
    return FeedStretch(packet) || (m_stop->load() && !AnyFailed());
}

bool StretchRoute::FeedStretch(AVPacket* packet)
{
    if (AnyFailed())
        return false;
    if (m_current == nullptr) {
        if (!BeginStretch(AV_NOPTS_VALUE))
            return false;
        m_currentStart = PacketTime(packet);
        return m_current->Push(packet);
    }
    if (!StartsStretch(packet))
        return FeedAfterKeyFrame(packet);
    // The stretch read so far ends where this key frame's picture is shown;
    // it still decodes the key frame, which its last pictures may refer to.
    if (m_previous != nullptr && !m_previous->Close())
        return false;
    StretchWorker* ending = m_current;
    if (!ending->EndAt(packet->pts) || !BeginStretch(packet->pts))
        return false;
    m_previous = ending;
    m_leading = 0;
    m_currentStart = packet->pts;
    return m_previous->Push(packet) && m_current->Push(packet);
}

bool StretchRoute::FeedAfterKeyFrame(AVPacket* packet)
{
    if (m_previous != nullptr) {
        const bool leading = packet->pts == AV_NOPTS_VALUE || packet->pts < m_currentStart;
        if (leading && m_leading < kMostLeadingPictures) {
            ++m_leading;
            return m_previous->Push(packet) && m_current->Push(packet);
        }
        const bool closed = m_previous->Close();
        m_previous = nullptr;
        if (!closed)
            return false;
    }
    return m_current->Push(packet);
}

bool StretchRoute::BeginStretch(int64_t start)
{
    StretchWorker* worker = IdleWorker();
    if (worker == nullptr || !worker->Begin({m_stretches, start, AV_NOPTS_VALUE}))
        return false;
    ++m_stretches;
    m_current = worker;
    return true;
}

StretchWorker* StretchRoute::IdleWorker()
{
    // The stop flag and the workers' ends are looked at every few milliseconds.
    while (!m_stop->load() && !AnyFailed()) {
        for (const auto& worker : m_workers)
            if (worker.get() != m_current && worker->IsIdle())
                return worker.get();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return nullptr;
}

bool StretchRoute::AnyFailed() const
{
    return std::any_of(m_workers.begin(), m_workers.end(),
                       [](const auto& worker) { return worker->Failed(); });
}

bool StretchRoute::Drain()
{
    if (m_previous != nullptr && !m_previous->Close())
        return false;
    m_previous = nullptr;
    if (m_current != nullptr && !m_current->Close())
        return false;
    m_current = nullptr;
    // A stop meanwhile ends the workers on their own, as an Abort.
    while (!m_order->HasWritten(m_stretches) && !m_stop->load() && !AnyFailed())
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return !AnyFailed();
}

bool StretchRoute::OpenWithoutFrame()
{
    if (m_order->IsReady())
        return true;
    // An encoder opened only to give the stream its format; it codes nothing.
    StretchSink sink(*m_order, m_stretches);
    EncoderStage trial(m_coding.encoder, m_coding.plan, m_coding.options, sink, 0, *m_stop);
    return trial.OpenWithoutFrame();
}

bool StretchRoute::FlushEncoderBy(std::chrono::steady_clock::time_point deadline)
{
    for (const auto& worker : m_workers)
        worker->FinishBy(deadline);
    return true;
}

void StretchRoute::Halt()
{
    for (const auto& worker : m_workers)
        worker->Halt();
}

} // namespace calvex::media::ffmpeg
