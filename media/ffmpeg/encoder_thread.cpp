// SPDX-License-Identifier: GPL-2.0-or-later
#include "media/ffmpeg/encoder_thread.h"

#include "media/ffmpeg/thread_name.h"

namespace calvex::media::ffmpeg {

PacketWriter::PacketWriter(AVCodecContext* encoder, OutputMux& mux, int outputIndex)
    : m_encoder(encoder), m_mux(mux), m_outputIndex(outputIndex)
{
}

bool PacketWriter::Encode(AVFrame* frame)
{
    if (!m_packet)
        return false;
    ForgetLoggedError();
    if (const int sent = avcodec_send_frame(m_encoder, frame); sent < 0)
        return Failed(sent);
    while (!IsPastDeadline()) {
        const int received = avcodec_receive_packet(m_encoder, m_packet.get());
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
            return true;
        if (received < 0)
            return Failed(received);
        if (!m_mux.Write(m_outputIndex, m_packet.get(), m_encoder->time_base))
            return false;
    }
    return true;
}

bool PacketWriter::Failed(int code)
{
    m_mux.Fail(std::string("The encoder ") + m_encoder->codec->name +
               " failed: " + ErrorText(code));
    return false;
}

EncoderThread::EncoderThread(AVCodecContext* encoder, OutputMux& mux, int outputIndex,
                             size_t queueLength, const std::atomic<bool>& stop)
    : m_writer(encoder, mux, outputIndex), m_queue(queueLength, stop), m_thread([this] { Run(); })
{
}

EncoderThread::~EncoderThread()
{
    Halt();
}

void EncoderThread::Run()
{
    NameThisThread(EncoderThreadName(m_writer.CodecName()));
    // Nothing may end the program from this thread: a fault fails the encoder.
    try {
        Loop();
    } catch (const std::exception& fault) {
        m_writer.Fail(std::string("The encoder stopped on an internal fault: ") + fault.what());
        m_failed = true;
    }
    // Whatever ended the thread, no one waits for room in its queue any more.
    m_queue.Cancel();
}

void EncoderThread::Loop()
{
    while (std::optional<FramePtr> frame = m_queue.Pop()) {
        // An aborted job's time is up: what is still queued is left.
        if (m_writer.IsPastDeadline())
            return;
        if (!m_writer.Encode(frame->get())) {
            m_failed = true;
            return;
        }
    }
    // The end: an encoder that was asked to finish gives up what it holds.
    if (m_flush && !m_writer.IsPastDeadline() && !m_writer.Encode(nullptr))
        m_failed = true;
}

bool EncoderThread::Push(AVFrame* frame)
{
    FramePtr queued = MakeFrame();
    if (!queued || m_failed)
        return false;
    av_frame_move_ref(queued.get(), frame);
    return m_queue.Push(std::move(queued));
}

bool EncoderThread::Finish()
{
    m_flush = true;
    m_queue.Close();
    Join();
    return !m_failed;
}

bool EncoderThread::FinishBy(std::chrono::steady_clock::time_point deadline)
{
    m_writer.SetDeadline(deadline);
    return Finish();
}

void EncoderThread::Halt()
{
    m_queue.Cancel();
    Join();
}

void EncoderThread::Join()
{
    if (m_thread.joinable())
        m_thread.join();
}

} // namespace calvex::media::ffmpeg
