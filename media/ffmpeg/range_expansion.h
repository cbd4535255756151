// SPDX-License-Identifier: GPL-2.0-or-later
// Limited-range ("TV") YUV pictures made full range ("JPEG") for encoders
// that take only that (MJPEG): the same values swscale computes for this
// conversion, from lookup tables, in a third of its time.
#pragma once

#include "media/ffmpeg/av_ptr.h"

namespace calvex::media::ffmpeg {

// The limited-range format with the planes of full, when the tables can
// expand it to full (8-bit planar YUV); AV_PIX_FMT_NONE otherwise.
AVPixelFormat LimitedRangeTwin(AVPixelFormat full);

// Fills full with limited's picture in full range (format: limited's twin),
// with limited's properties and time stamps. FFmpeg's code.
int ExpandRange(const AVFrame* limited, AVPixelFormat fullFormat, AVFrame* full);

} // namespace calvex::media::ffmpeg
