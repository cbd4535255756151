// SPDX-License-Identifier: GPL-2.0-or-later
#include "media/ffmpeg/picture_turn.h"

#include <algorithm>
#include <cmath>

extern "C" {
#include <libavutil/display.h>
}

namespace calvex::media::ffmpeg {

PictureTurn TurnOfMatrix(const int32_t* matrix)
{
    PictureTurn turn;
    // A negative determinant mirrors the picture: taking the mirror out first
    // (the first row negated) leaves a plain rotation.
    int32_t rotation[9];
    std::copy(matrix, matrix + 9, rotation);
    const double determinant =
        static_cast<double>(matrix[0]) * matrix[4] - static_cast<double>(matrix[1]) * matrix[3];
    if (determinant < 0) {
        turn.mirrored = true;
        rotation[0] = -rotation[0];
        rotation[1] = -rotation[1];
    }
    // libavutil gives the angle counter-clockwise; players turn clockwise by its opposite.
    const double degrees = -av_display_rotation_get(rotation);
    if (std::isnan(degrees))
        return {};
    const double quarters = degrees / 90.0;
    const double whole = std::round(quarters);
    if (std::fabs(quarters - whole) > 1.0 / 90.0)
        return {}; // a slant that is no quarter turn: shown as it is coded
    turn.clockwiseQuarters = ((static_cast<int>(whole) % 4) + 4) % 4;
    return turn;
}

PictureTurn TurnOf(const AVStream* stream)
{
    const uint8_t* matrix = av_stream_get_side_data(stream, AV_PKT_DATA_DISPLAYMATRIX, nullptr);
    return matrix ? TurnOfMatrix(reinterpret_cast<const int32_t*>(matrix)) : PictureTurn{};
}

std::string TurnFilters(const PictureTurn& turn)
{
    // transpose also turns the pixel aspect with the picture.
    static const char* const kTurns[] = {"", "transpose=clock,", "hflip,vflip,",
                                         "transpose=cclock,"};
    static const char* const kMirroredTurns[] = {"hflip,", "transpose=clock_flip,", "vflip,",
                                                 "transpose=cclock_flip,"};
    return (turn.mirrored ? kMirroredTurns : kTurns)[turn.clockwiseQuarters];
}

} // namespace calvex::media::ffmpeg
