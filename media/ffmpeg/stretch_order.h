// SPDX-License-Identifier: GPL-2.0-or-later
// Puts the packets of pictures coded in stretches side by side back in the
// order of the stretches: the first unfinished stretch writes straight into
// the file, later ones are held until those before them are done.
#pragma once

#include "media/ffmpeg/av_ptr.h"
#include "media/ffmpeg/packet_sink.h"

#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <vector>

namespace calvex::media::ffmpeg {

class StretchOrder {
public:
    // A stretch ahead of the one being written waits (its encoder waits)
    // while the packets held reach kMostHeldBytes, until its turn or stop.
    StretchOrder(PacketSink& file, int outputIndex, const std::atomic<bool>& stop)
        : m_file(file), m_outputIndex(outputIndex), m_stop(stop)
    {
    }

    // The first stretch to open its encoder readies the stream; the others'
    // parameters are the same, and are not given again.
    bool ReadyStream(const std::function<bool(AVStream&)>& fill);
    // Takes a packet of stretch; false on a write error.
    bool Write(size_t stretch, AVPacket* packet, AVRational timeBase);
    // Stretch has given all its packets: those held after it go on.
    bool Complete(size_t stretch);
    bool IsReady() const;
    bool IsWriting(size_t stretch) const;
    // True once every stretch up to, not including, count is written.
    bool HasWritten(size_t count) const;
    void Fail(const std::string& reason) { m_file.Fail(reason); }

private:
    struct Held {
        std::vector<PacketPtr> packets;
        AVRational timeBase{};
        bool complete = false;
    };
    bool WriteHeld(Held& held);

    // Lossless and raw pictures come in megabytes: a stretch of them would
    // not be held whole.
    static constexpr int64_t kMostHeldBytes = int64_t{64} << 20;

    PacketSink& m_file;
    const int m_outputIndex;
    const std::atomic<bool>& m_stop;
    mutable std::mutex m_mutex;
    std::condition_variable m_turn;
    int64_t m_heldBytes = 0;
    bool m_ready = false;
    size_t m_writing = 0; // the stretch whose packets go straight into the file
    std::map<size_t, Held> m_held;
};

// One stretch's way into the order, in the form an encoding stage writes to.
class StretchSink : public PacketSink {
public:
    StretchSink(StretchOrder& order, size_t stretch) : m_order(order), m_stretch(stretch) {}
    bool ReadyStream(int, const std::function<bool(AVStream&)>& fill) override
    {
        return m_order.ReadyStream(fill);
    }
    bool Write(int, AVPacket* packet, AVRational timeBase) override
    {
        return m_order.Write(m_stretch, packet, timeBase);
    }
    void Fail(const std::string& reason) override { m_order.Fail(reason); }

private:
    StretchOrder& m_order;
    const size_t m_stretch;
};

} // namespace calvex::media::ffmpeg
