// SPDX-License-Identifier: GPL-2.0-or-later
#include "media/ffmpeg/encoder_thread.h"

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

EncoderThread::EncoderThread(AVCodecContext* encoder, OutputMux& mux, int outputIndex)
    : m_writer(encoder, mux, outputIndex), m_thread([this] { Run(); })
{
}

void EncoderThread::Run()
{
    // Nothing may end the program from this thread: a fault fails the encoder.
    try {
        Loop();
    } catch (const std::exception& fault) {
        m_writer.Fail(std::string("The encoder stopped on an internal fault: ") + fault.what());
        std::lock_guard lock(m_mutex);
        m_failed = true;
        m_queue.clear();
        m_changed.notify_all();
    }
}

EncoderThread::~EncoderThread()
{
    Halt();
}

bool EncoderThread::Push(AVFrame* frame)
{
    FramePtr queued = MakeFrame();
    if (!queued)
        return false;
    av_frame_move_ref(queued.get(), frame);
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_queue.size() < kQueueLength || m_failed; });
    if (m_failed)
        return false;
    m_queue.push_back(std::move(queued));
    m_changed.notify_all();
    return true;
}

bool EncoderThread::Finish()
{
    End(true);
    std::lock_guard lock(m_mutex);
    return !m_failed;
}

bool EncoderThread::FinishBy(std::chrono::steady_clock::time_point deadline)
{
    m_writer.SetDeadline(deadline);
    {
        std::lock_guard lock(m_mutex);
        m_changed.notify_all();
    }
    return Finish();
}

void EncoderThread::Halt()
{
    End(false);
}

void EncoderThread::End(bool flush)
{
    {
        std::lock_guard lock(m_mutex);
        if (!m_ending) {
            m_ending = true;
            m_flush = flush;
            if (!flush)
                m_queue.clear();
        }
        m_changed.notify_all();
    }
    if (m_thread.joinable())
        m_thread.join();
}

void EncoderThread::Loop()
{
    for (;;) {
        FramePtr frame;
        bool flush = false;
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [this] { return !m_queue.empty() || m_ending; });
            if (m_queue.empty()) {
                flush = m_flush && !m_failed;
            } else {
                frame = std::move(m_queue.front());
                m_queue.pop_front();
                m_changed.notify_all();
            }
        }
        // An aborted job's time is up: what is still queued is left.
        if (m_writer.IsPastDeadline())
            return;
        if (!frame) {
            // The end: an encoder that was asked to finish gives up what it holds.
            if (flush && !m_writer.Encode(nullptr)) {
                std::lock_guard lock(m_mutex);
                m_failed = true;
            }
            return;
        }
        if (!m_writer.Encode(frame.get())) {
            std::lock_guard lock(m_mutex);
            m_failed = true;
            m_queue.clear();
            m_changed.notify_all();
            return;
        }
    }
}

} // namespace calvex::media::ffmpeg
