// SPDX-License-Identifier: GPL-2.0-or-later
#include "media/ffmpeg/output_mux.h"

#include "media/ffmpeg/local_file.h"

#include <algorithm>

namespace calvex::media::ffmpeg {

bool OutputMux::Open(const std::filesystem::path& path)
{
    m_path = path;
    // Writing into a FIFO would block, into a device would not make a file.
    std::error_code error;
    if (std::filesystem::exists(path, error) && !IsRegularFile(path)) {
        Fail("Cannot create the output file " + Quoted(path) + ": it is not a regular file");
        return false;
    }
    AVFormatContext* raw = nullptr;
    int result = avformat_alloc_output_context2(&raw, nullptr, "avi", path.c_str());
    if (result >= 0 && raw != nullptr) {
        m_context.reset(raw);
        ForgetLoggedError();
        result = avio_open(&m_context->pb, LocalFileUrl(path).c_str(), AVIO_FLAG_WRITE);
    }
    m_created = result >= 0;
    m_open = m_created;
    if (m_created)
        return true;
    Fail("Cannot create the output file " + Quoted(path) + ": " + ErrorText(result));
    return false;
}

bool OutputMux::OpenCounting()
{
    AVFormatContext* raw = nullptr;
    if (avformat_alloc_output_context2(&raw, nullptr, "null", nullptr) < 0 || raw == nullptr)
        return false;
    m_context.reset(raw);
    m_open = true;
    return true;
}

bool OutputMux::WriteFailed(int code)
{
    Fail("Cannot write the output file " + Quoted(m_path) + ": " + ErrorText(code));
    return false;
}

int OutputMux::AddStream()
{
    std::lock_guard lock(m_mutex);
    AVStream* stream = avformat_new_stream(m_context.get(), nullptr);
    if (stream == nullptr)
        return -1;
    m_ready.push_back(false);
    m_written.push_back(0);
    m_bytes.push_back(0);
    m_lastDts.push_back(AV_NOPTS_VALUE);
    return stream->index;
}

bool OutputMux::ReadyStream(int index, const std::function<bool(AVStream&)>& fill)
{
    std::lock_guard lock(m_mutex);
    if (!fill(*StreamAt(index)))
        return false;
    m_ready.at(index) = true;
    return true;
}

bool OutputMux::HeaderWritten() const
{
    std::lock_guard lock(m_mutex);
    return m_headerWritten;
}

size_t OutputMux::PendingCount() const
{
    std::lock_guard lock(m_mutex);
    return m_pending.size();
}

int64_t OutputMux::PacketsWritten(int index) const
{
    std::lock_guard lock(m_mutex);
    return m_written.at(index);
}

int64_t OutputMux::BytesWritten(int index) const
{
    std::lock_guard lock(m_mutex);
    return m_bytes.at(index);
}

bool OutputMux::WriteHeaderWhenReady()
{
    if (m_headerWritten)
        return true;
    if (!std::all_of(m_ready.begin(), m_ready.end(), [](bool ready) { return ready; }))
        return true;
    ForgetLoggedError();
    if (const int written = avformat_write_header(m_context.get(), nullptr); written < 0)
        return WriteFailed(written);
    m_headerWritten = true;
    m_hasPicture = std::any_of(
        m_context->streams, m_context->streams + m_context->nb_streams,
        [](const AVStream* stream) { return stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO; });
    while (!m_pending.empty()) {
        Pending pending = std::move(m_pending.front());
        m_pending.pop_front();
        if (!Submit(pending.packet.get(), pending.timeBase))
            return false;
    }
    return true;
}

int64_t OutputMux::EndHns(const AVPacket* packet, AVRational timeBase)
{
    const int64_t time = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
    if (time == AV_NOPTS_VALUE)
        return AV_NOPTS_VALUE;
    return av_rescale_q(time + std::max<int64_t>(packet->duration, 0), timeBase, {1, 10000000});
}

bool OutputMux::Submit(AVPacket* packet, AVRational timeBase)
{
    const bool picture = StreamAt(packet->stream_index)->codecpar->codec_type == AVMEDIA_TYPE_VIDEO;
    const int64_t end = EndHns(packet, timeBase);
    // Sound waits while ahead of the pictures, and behind sound that waits:
    // it never overtakes it (stamps that step back at a join would let it),
    // so the file's order does not depend on how far the pictures have come.
    const bool ahead = end != AV_NOPTS_VALUE && end > m_pictureEndHns;
    if (!picture && m_hasPicture && (ahead || !m_held.empty())) {
        Pending held{MakePacket(), timeBase, ahead ? end : m_pictureEndHns};
        if (!held.packet)
            return false;
        av_packet_move_ref(held.packet.get(), packet);
        m_held.push_back(std::move(held));
        return WriteHeld(m_held.back().endHns - m_soundHoldHns);
    }
    if (!WriteNow(packet, timeBase))
        return false;
    if (picture && end != AV_NOPTS_VALUE && end > m_pictureEndHns) {
        m_pictureEndHns = end;
        return WriteHeld(m_pictureEndHns);
    }
    return true;
}

bool OutputMux::WriteHeld(int64_t untilHns)
{
    while (!m_held.empty() && m_held.front().endHns <= untilHns) {
        Pending held = std::move(m_held.front());
        m_held.pop_front();
        if (!WriteNow(held.packet.get(), held.timeBase))
            return false;
    }
    return true;
}

bool OutputMux::WriteNow(AVPacket* packet, AVRational timeBase)
{
    AVStream* stream = StreamAt(packet->stream_index);
    av_packet_rescale_ts(packet, timeBase, stream->time_base);
    KeepTimesIncreasing(packet);
    const int64_t time = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
    if (time != AV_NOPTS_VALUE) {
        const int64_t hns = av_rescale_q(time, stream->time_base, {1, 10000000});
        if (hns > m_lastTimeHns.load())
            m_lastTimeHns.store(hns);
    }
    const int index = packet->stream_index;
    m_bytes[index] += packet->size;
    ForgetLoggedError();
    if (const int written = av_interleaved_write_frame(m_context.get(), packet); written < 0)
        return WriteFailed(written);
    ++m_written[index];
    return true;
}

void OutputMux::KeepTimesIncreasing(AVPacket* packet)
{
    // A source's time stamps may step back or repeat (files joined end to
    // end, a glitch): the muxer refuses such a packet, so it is moved just
    // after the one before, as the ffmpeg program does. The data stays as it is.
    int64_t& last = m_lastDts[packet->stream_index];
    if (packet->dts != AV_NOPTS_VALUE) {
        if (last != AV_NOPTS_VALUE && packet->dts <= last)
            packet->dts = last + 1;
        if (packet->pts != AV_NOPTS_VALUE && packet->pts < packet->dts)
            packet->pts = packet->dts;
        last = packet->dts;
    }
}

void OutputMux::HoldSoundFor(int64_t hns)
{
    std::lock_guard lock(m_mutex);
    m_soundHoldHns = std::max(m_soundHoldHns, hns);
}

bool OutputMux::Write(int index, AVPacket* packet, AVRational timeBase)
{
    std::lock_guard lock(m_mutex);
    packet->stream_index = index;
    if (m_headerWritten)
        return Submit(packet, timeBase);
    Pending pending{MakePacket(), timeBase};
    if (!pending.packet)
        return false;
    av_packet_move_ref(pending.packet.get(), packet);
    m_pending.push_back(std::move(pending));
    return WriteHeaderWhenReady();
}

bool OutputMux::Finish(bool cutSound)
{
    std::lock_guard lock(m_mutex);
    if (!m_context || !m_open)
        return false;
    m_open = false;
    const bool written = WriteEnd(cutSound);
    // The file is closed whatever happened: a failed job keeps what it wrote.
    const int closed = m_context->pb != nullptr ? avio_closep(&m_context->pb) : 0;
    if (written && closed < 0)
        return WriteFailed(closed);
    return written;
}

bool OutputMux::WriteEnd(bool cutSound)
{
    if (!m_headerWritten) {
        // The routes have opened what they could; a stream still without a
        // format makes the header fail, which ends the job as an error. The
        // packets that waited for the header may hold sound back in turn.
        std::fill(m_ready.begin(), m_ready.end(), true);
        if (!WriteHeaderWhenReady())
            return false;
    }
    // An aborted job's sound ends with its last picture.
    if (cutSound)
        m_held.clear();
    else if (!WriteHeld(INT64_MAX))
        return false;
    ForgetLoggedError();
    if (const int written = av_write_trailer(m_context.get()); written < 0)
        return WriteFailed(written);
    return true;
}

} // namespace calvex::media::ffmpeg
