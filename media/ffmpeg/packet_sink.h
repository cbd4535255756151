// SPDX-License-Identifier: GPL-2.0-or-later
// Where an encoding stage's packets go: the AVI file itself, or a holder
// that passes them on to it in their turn (pictures coded in stretches).
#pragma once

#include <functional>
#include <string>

extern "C" {
#include <libavformat/avformat.h>
}

namespace calvex::media::ffmpeg {

class PacketSink {
public:
    virtual ~PacketSink() = default;
    // Fills stream index's parameters and makes it ready; false when fill fails.
    virtual bool ReadyStream(int index, const std::function<bool(AVStream&)>& fill) = 0;
    // Takes packet (time stamps in timeBase) for stream index; false on a write error.
    virtual bool Write(int index, AVPacket* packet, AVRational timeBase) = 0;
    // Notes why the job fails (the first reason is kept).
    virtual void Fail(const std::string& reason) = 0;
};

} // namespace calvex::media::ffmpeg
