// SPDX-License-Identifier: GPL-2.0-or-later
#include "media/ffmpeg/encoder_thread.h"

#include "media/ffmpeg/codec_threads.h"
#include "media/ffmpeg/failure.h"
#include "media/ffmpeg/thread_name.h"

namespace calvex::media::ffmpeg {

PacketWriter::PacketWriter(AVCodecContext* encoder, PacketSink& mux, int outputIndex,
                           TwoPassLog* passLog)
    : m_encoder(encoder), m_mux(mux), m_outputIndex(outputIndex), m_passLog(passLog),
      m_opensGlobalState(OpensGlobalState(encoder->codec))
{
}

bool PacketWriter::Encode(AVFrame* frame)
{
    if (!m_packet)
        return false;
    ForgetLoggedError();
    if (const int sent = Coding([&] { return avcodec_send_frame(m_encoder, frame); }); sent < 0)
        return Failed(sent);
    while (!IsPastDeadline()) {
        const int received =
            Coding([&] { return avcodec_receive_packet(m_encoder, m_packet.get()); });
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
            return true;
        if (received < 0)
            return Failed(received);
        if (m_passLog != nullptr && m_encoder->stats_out != nullptr)
            m_passLog->Append(m_encoder->stats_out);
        if (!m_mux.Write(m_outputIndex, m_packet.get(), m_encoder->time_base))
            return false;
    }
    return true;
}

template <class Call> int PacketWriter::Coding(Call call)
{
    // The lock is not held while the packet is written: that may wait for
    // another encoder's turn.
    if (!m_opensGlobalState)
        return call();
    const std::shared_lock shared(GlobalStateLock());
    return call();
}

bool PacketWriter::Failed(int code)
{
    m_mux.Fail(std::string("The encoder ") + m_encoder->codec->name +
               " failed: " + ErrorText(code));
    return false;
}

EncoderThread::EncoderThread(AVCodecContext* encoder, PacketSink& mux, int outputIndex,
                             size_t queueLength, const std::atomic<bool>& stop, TwoPassLog* passLog)
    : m_writer(encoder, mux, outputIndex, passLog),
      m_stage(EncoderThreadName(encoder->codec->name), *this, queueLength, stop)
{
}

EncoderThread::~EncoderThread()
{
    Halt();
}

FrameWork::Step EncoderThread::Take(AVFrame* frame)
{
    // An aborted job's time is up: what is still queued is left.
    if (m_writer.IsPastDeadline())
        return Step::Done;
    return m_writer.Encode(frame) ? Step::Next : Step::Fail;
}

bool EncoderThread::End()
{
    // The encoder gives up what it holds, unless an aborted job's time is up.
    return m_writer.IsPastDeadline() || m_writer.Encode(nullptr);
}

void EncoderThread::NoteFault(const std::string& what)
{
    m_writer.Fail("The encoder stopped on an internal fault: " + what);
}

bool EncoderThread::FinishBy(std::chrono::steady_clock::time_point deadline)
{
    m_writer.SetDeadline(deadline);
    return Finish();
}

} // namespace calvex::media::ffmpeg
