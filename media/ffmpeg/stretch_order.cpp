// SPDX-License-Identifier: GPL-2.0-or-later
#include "media/ffmpeg/stretch_order.h"

namespace calvex::media::ffmpeg {

bool StretchOrder::ReadyStream(const std::function<bool(AVStream&)>& fill)
{
    std::lock_guard lock(m_mutex);
    if (m_ready)
        return true;
    m_ready = m_file.ReadyStream(m_outputIndex, fill);
    return m_ready;
}

bool StretchOrder::Write(size_t stretch, AVPacket* packet, AVRational timeBase)
{
    std::lock_guard lock(m_mutex);
    if (stretch == m_writing)
        return m_file.Write(m_outputIndex, packet, timeBase);
    if (stretch < m_writing)
        return true;
    PacketPtr held = MakePacket();
    if (!held)
        return false;
    av_packet_move_ref(held.get(), packet);
    Held& place = m_held[stretch];
    place.timeBase = timeBase;
    place.packets.push_back(std::move(held));
    return true;
}

bool StretchOrder::WriteHeld(Held& held)
{
    for (PacketPtr& packet : held.packets)
        if (!m_file.Write(m_outputIndex, packet.get(), held.timeBase))
            return false;
    held.packets.clear();
    return true;
}

bool StretchOrder::Complete(size_t stretch)
{
    std::lock_guard lock(m_mutex);
    m_held[stretch].complete = true;
    for (;;) {
        auto current = m_held.find(m_writing);
        if (current == m_held.end() || !current->second.complete)
            break;
        m_held.erase(current);
        ++m_writing;
        // The next stretch writes what it has held, then writes straight on.
        auto next = m_held.find(m_writing);
        if (next != m_held.end() && !WriteHeld(next->second))
            return false;
    }
    return true;
}

bool StretchOrder::IsReady() const
{
    std::lock_guard lock(m_mutex);
    return m_ready;
}

bool StretchOrder::IsWriting(size_t stretch) const
{
    std::lock_guard lock(m_mutex);
    return stretch == m_writing;
}

bool StretchOrder::HasWritten(size_t count) const
{
    std::lock_guard lock(m_mutex);
    return m_writing >= count;
}

} // namespace calvex::media::ffmpeg
