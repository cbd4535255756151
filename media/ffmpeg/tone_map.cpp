// SPDX-License-Identifier: GPL-2.0-or-later
#include "media/ffmpeg/tone_map.h"

namespace calvex::media::ffmpeg {

bool IsHdr(const AVFrame* picture)
{
    return picture->color_trc == AVCOL_TRC_SMPTE2084 ||
           picture->color_trc == AVCOL_TRC_ARIB_STD_B67;
}

std::string ToneMapFilters(const AVFrame* picture, int outputWidth, int outputHeight)
{
    if (!IsHdr(picture))
        return "";
    // Light made linear with SDR's white at 100 nits, BT.2020's colours
    // brought into BT.709's, then the curve: clip leaves everything within
    // SDR's range as it was graded (hable and reinhard darken it) and only
    // cuts the highlights above it. The picture goes on in 8-bit 4:4:4 YUV of
    // the matrix players assume; the chain then sizes and formats it.
    const bool hd = outputWidth >= 1280 || outputHeight >= 720;
    return std::string("zscale=t=linear:npl=100,format=gbrpf32le,zscale=p=bt709,"
                       "tonemap=tonemap=clip:desat=0,zscale=t=bt709:m=") +
           (hd ? "bt709" : "170m") + ":r=tv,format=yuv444p,";
}

} // namespace calvex::media::ffmpeg
