// SPDX-License-Identifier: GPL-2.0-or-later
#include "media/ffmpeg/picture_colour.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

namespace calvex::media::ffmpeg {
namespace {

bool IsHd(int width, int height)
{
    return width >= 1280 || height >= 720;
}

// swscale's name for a YUV matrix it converts from; null for one it does not know.
const char* MatrixName(AVColorSpace matrix)
{
    switch (matrix) {
    case AVCOL_SPC_BT709:
        return "bt709";
    case AVCOL_SPC_BT470BG:
    case AVCOL_SPC_SMPTE170M:
        return "bt601";
    case AVCOL_SPC_SMPTE240M:
        return "smpte240m";
    case AVCOL_SPC_FCC:
        return "fcc";
    case AVCOL_SPC_BT2020_NCL:
    case AVCOL_SPC_BT2020_CL:
        return "bt2020";
    default:
        return nullptr;
    }
}

} // namespace

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
    const bool hd = IsHd(outputWidth, outputHeight);
    return std::string("zscale=t=linear:npl=100,format=gbrpf32le,zscale=p=bt709,"
                       "tonemap=tonemap=clip:desat=0,zscale=t=bt709:m=") +
           (hd ? "bt709" : "170m") + ":r=tv,format=yuv444p,";
}

std::string ScaleColourOptions(const AVFrame* picture, int outputWidth, int outputHeight)
{
    const char* assumed = IsHd(outputWidth, outputHeight) ? "bt709" : "bt601";
    const AVPixFmtDescriptor* format =
        av_pix_fmt_desc_get(static_cast<AVPixelFormat>(picture->format));
    // RGB made YUV: swscale would take BT.601 for any size.
    if (format != nullptr && (format->flags & AV_PIX_FMT_FLAG_RGB))
        return std::string(":out_color_matrix=") + assumed;
    const char* own = MatrixName(picture->colorspace);
    if (own == nullptr || IsHdr(picture) || std::string(own) == assumed)
        return "";
    return std::string(":in_color_matrix=") + own + ":out_color_matrix=" + assumed;
}

} // namespace calvex::media::ffmpeg
