// SPDX-License-Identifier: GPL-2.0-or-later
// HDR pictures (PQ or HLG transfer) made SDR for the AVI: its players know
// no HDR and would show the coded values as BT.709, washed out.
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

} // namespace calvex::media::ffmpeg
