// SPDX-License-Identifier: GPL-2.0-or-later
// The picture's colours as AVI players read them: an AVI carries no colour
// description, so players assume BT.601's matrix below HD and BT.709's from
// 1280x720 on, and know no HDR. HDR pictures (PQ or HLG transfer) are made
// SDR, and a picture of another matrix is converted to the one assumed.
#pragma once

#include <string>

extern "C" {
#include <libavutil/frame.h>
}

namespace calvex::media::ffmpeg {

// True for a picture whose transfer is PQ (SMPTE 2084) or HLG.
bool IsHdr(const AVFrame* picture);

// libavfilter's filters that tone-map such a picture to BT.709 SDR, in the
// colour matrix players assume for a picture of the output's size (BT.601
// below HD, BT.709 from 1280x720 on), each followed by a comma; "" for SDR.
std::string ToneMapFilters(const AVFrame* picture, int outputWidth, int outputHeight);

// The colour options of the scale filter that sizes and formats picture:
// the matrix players assume for the output's size, where the picture's own
// (named by its stream, or RGB) differs; "" where nothing needs converting,
// so that scale passes such pictures through untouched.
std::string ScaleColourOptions(const AVFrame* picture, int outputWidth, int outputHeight);

} // namespace calvex::media::ffmpeg
