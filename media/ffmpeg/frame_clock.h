// SPDX-License-Identifier: GPL-2.0-or-later
// The time of each decoded frame of a stream: the decoder's best guess, or,
// for a frame the decoder could not stamp at all (the last of an AVI's
// reordered pictures, whose packet has neither stamp), the time just after
// the frame before it. A frame without a time would be dropped by the frame
// rate conversion: a picture lost.
#pragma once

extern "C" {
#include <libavformat/avformat.h>
}

namespace calvex::media::ffmpeg {

class FrameClock {
public:
    explicit FrameClock(const AVStream* stream);
    // Sets frame->pts (the stream's time base).
    void Stamp(AVFrame* frame);
    // The next frames follow no earlier one (a decoder started afresh).
    void Restart() { m_next = AV_NOPTS_VALUE; }

private:
    int64_t m_frameTicks = 0;        // a picture at the stream's average rate; 0 when unknown
    int64_t m_next = AV_NOPTS_VALUE; // just after the last frame stamped
};

} // namespace calvex::media::ffmpeg
