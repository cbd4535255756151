// SPDX-License-Identifier: GPL-2.0-or-later
// How a source's picture is turned to be shown: its display matrix (a phone
// held upright, a camera upside down). An AVI has no such field, so the
// picture itself is turned.
#pragma once

#include <string>

extern "C" {
#include <libavformat/avformat.h>
}

namespace calvex::media::ffmpeg {

struct PictureTurn {
    int clockwiseQuarters = 0; // 0 to 3
    bool mirrored = false;     // left and right swapped before the turn

    bool IsNone() const { return clockwiseQuarters == 0 && !mirrored; }
    // True when the shown picture's width is the coded height.
    bool SwapsSides() const { return clockwiseQuarters % 2 == 1; }
};

// The turn a player gives stream's pictures; none without a display matrix
// or for an angle that is no quarter turn.
PictureTurn TurnOf(const AVStream* stream);
// The same from a display matrix (nine 32-bit values, as libavutil keeps them).
PictureTurn TurnOfMatrix(const int32_t* matrix);

// libavfilter's filters that turn the picture so ("" for none), each
// followed by a comma.
std::string TurnFilters(const PictureTurn& turn);

} // namespace calvex::media::ffmpeg
