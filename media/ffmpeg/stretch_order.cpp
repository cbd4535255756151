// SPDX-License-Identifier: GPL-2.0-or-later
#include "media/ffmpeg/stretch_order.h"

#include <chrono>

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
    std::unique_lock lock(m_mutex);
    // The stop flag is not signalled: it is looked at every few milliseconds.
    while (stretch != m_writing && m_heldBytes >= kMostHeldBytes && !m_stop.load())
        m_turn.wait_for(lock, std::chrono::milliseconds(10));
    if (stretch == m_writing)
        return m_file.Write(m_outputIndex, packet, timeBase);
    if (stretch < m_writing || m_stop.load())
        return true; // an aborted job ends with the stretch being written
    PacketPtr held = MakePacket();
    if (!held)
        return false;
    av_packet_move_ref(held.get(), packet);
    m_heldBytes += held->size;
    Held& place = m_held[stretch];
    place.timeBase = timeBase;
    place.packets.push_back(std::move(held));
    return true;
}

bool StretchOrder::WriteHeld(Held& held)
{
    for (PacketPtr& packet : held.packets) {
        m_heldBytes -= packet->size;
        if (!m_file.Write(m_outputIndex, packet.get(), held.timeBase))
            return false;
    }
    held.packets.clear();
    return true;
}

bool StretchOrder::Complete(size_t stretch)
{
    std::lock_guard lock(m_mutex);
    // Whatever happens below, a stretch waiting for its turn looks again.
    m_turn.notify_all();
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
