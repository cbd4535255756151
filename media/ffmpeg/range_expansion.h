// SPDX-License-Identifier: GPL-2.0-or-later
// Limited-range ("TV") YUV pictures made full range ("JPEG") for encoders
// that take only that (MJPEG): the same values swscale computes for this
// conversion at the same size, from lookup tables, in a third of its time.
#pragma once

#include "media/ffmpeg/av_ptr.h"

#include <memory>

namespace calvex::media::ffmpeg {

// The limited-range format with the planes of full, when the tables can
// widen it to full (8-bit planar YUV); AV_PIX_FMT_NONE otherwise.
AVPixelFormat LimitedRangeTwin(AVPixelFormat full);

class RangeExpansion {
public:
    // Fills full with limited's picture in full range (format: fullFormat, the
    // twin of limited's), with limited's properties and time stamps. FFmpeg's code.
    int Expand(const AVFrame* limited, AVPixelFormat fullFormat, AVFrame* full);

private:
    struct PoolDeleter {
        void operator()(AVBufferPool* pool) const { av_buffer_pool_uninit(&pool); }
    };
    // The pictures' memory, used again for each next picture of the same size.
    std::unique_ptr<AVBufferPool, PoolDeleter> m_pool;
    size_t m_pictureSize = 0;
};

} // namespace calvex::media::ffmpeg
