// SPDX-License-Identifier: GPL-2.0-or-later
#include "media/ffmpeg/range_expansion.h"

#include <algorithm>
#include <array>
#include <cstdint>

extern "C" {
#include <libavutil/imgutils.h>
#include <libavutil/pixdesc.h>
}

namespace calvex::media::ffmpeg {
namespace {

using Table = std::array<uint8_t, 256>;

// Rows start on this many bytes, as FFmpeg's own pictures do for its SIMD code.
constexpr int kAlign = 64;

// swscale's steps for a picture that keeps its size: the sample taken to 15
// bits, its range widened in 16-bit integers, rounded back to 8 bits.
uint8_t Widen(int sample, int ceiling, int factor, int offset, int shift)
{
    const auto widened =
        static_cast<int16_t>((std::min(sample << 7, ceiling) * factor - offset) >> shift);
    return static_cast<uint8_t>(std::clamp((widened + 64) >> 7, 0, 255));
}

Table MakeTable(bool luma)
{
    Table table{};
    for (int sample = 0; sample < 256; ++sample)
        table[sample] = luma ? Widen(sample, 30189, 19077, 39057361, 14)
                             : Widen(sample, 30775, 4663, 9289992, 12);
    return table;
}

void MapPlane(const uint8_t* source, int sourceStride, uint8_t* target, int targetStride, int width,
              int height, const Table& table)
{
    for (int y = 0; y < height; ++y) {
        const uint8_t* from = source + static_cast<ptrdiff_t>(y) * sourceStride;
        uint8_t* to = target + static_cast<ptrdiff_t>(y) * targetStride;
        for (int x = 0; x < width; ++x)
            to[x] = table[from[x]];
    }
}

} // namespace

AVPixelFormat LimitedRangeTwin(AVPixelFormat full)
{
    switch (full) {
    case AV_PIX_FMT_YUVJ420P:
        return AV_PIX_FMT_YUV420P;
    case AV_PIX_FMT_YUVJ422P:
        return AV_PIX_FMT_YUV422P;
    case AV_PIX_FMT_YUVJ444P:
        return AV_PIX_FMT_YUV444P;
    default:
        return AV_PIX_FMT_NONE;
    }
}

int RangeExpansion::Expand(const AVFrame* limited, AVPixelFormat fullFormat, AVFrame* full)
{
    static const Table luma = MakeTable(true);
    static const Table chroma = MakeTable(false);
    full->format = fullFormat;
    full->width = limited->width;
    full->height = limited->height;
    int linesizes[4] = {};
    ptrdiff_t strides[4] = {};
    size_t planeSizes[4] = {};
    int made = av_image_fill_linesizes(linesizes, fullFormat, FFALIGN(full->width, kAlign));
    for (int plane = 0; plane < 4; ++plane)
        strides[plane] = linesizes[plane];
    if (made >= 0)
        made = av_image_fill_plane_sizes(planeSizes, fullFormat, full->height, strides);
    if (made < 0)
        return made;
    const size_t size = planeSizes[0] + planeSizes[1] + planeSizes[2] + kAlign;
    if (!m_pool || size != m_pictureSize) {
        m_pool.reset(av_buffer_pool_init(size, nullptr));
        m_pictureSize = size;
    }
    full->buf[0] = m_pool ? av_buffer_pool_get(m_pool.get()) : nullptr;
    if (full->buf[0] == nullptr)
        return AVERROR(ENOMEM);
    uint8_t* at = full->buf[0]->data;
    for (int plane = 0; plane < 3; ++plane) {
        full->data[plane] = at;
        full->linesize[plane] = linesizes[plane];
        at += planeSizes[plane];
    }
    if (const int copied = av_frame_copy_props(full, limited); copied < 0)
        return copied;
    full->color_range = AVCOL_RANGE_JPEG;
    const AVPixFmtDescriptor* planes = av_pix_fmt_desc_get(fullFormat);
    for (int plane = 0; plane < 3; ++plane) {
        const int shiftX = plane == 0 ? 0 : planes->log2_chroma_w;
        const int shiftY = plane == 0 ? 0 : planes->log2_chroma_h;
        MapPlane(limited->data[plane], limited->linesize[plane], full->data[plane],
                 full->linesize[plane], AV_CEIL_RSHIFT(limited->width, shiftX),
                 AV_CEIL_RSHIFT(limited->height, shiftY), plane == 0 ? luma : chroma);
    }
    return 0;
}

} // namespace calvex::media::ffmpeg
