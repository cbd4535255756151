// SPDX-License-Identifier: GPL-2.0-or-later
#include "media/ffmpeg/plays_on.h"

#include <algorithm>
#include <vector>

namespace calvex::media::ffmpeg {
namespace {

struct Reach {
    std::vector<AVCodecID> codecs;
    const char* where;
};

const std::vector<Reach> kReaches = {
    {{AV_CODEC_ID_MPEG4}, "Standalone DivX/Xvid players, Windows, every desktop player"},
    {{AV_CODEC_ID_MSMPEG4V2, AV_CODEC_ID_MSMPEG4V3, AV_CODEC_ID_WMV1, AV_CODEC_ID_WMV2},
     "Windows and every desktop player; few standalone players"},
    {{AV_CODEC_ID_H264, AV_CODEC_ID_HEVC, AV_CODEC_ID_VP8, AV_CODEC_ID_VP9, AV_CODEC_ID_AV1},
     "Desktop players only; standalone players and Windows' own player do not read it in AVI"},
    {{AV_CODEC_ID_MPEG1VIDEO, AV_CODEC_ID_MPEG2VIDEO},
     "Desktop players; few standalone players read it in AVI"},
    {{AV_CODEC_ID_MJPEG, AV_CODEC_ID_RAWVIDEO}, "Editing programs and ImageJ"},
    {{AV_CODEC_ID_HUFFYUV, AV_CODEC_ID_FFVHUFF, AV_CODEC_ID_FFV1, AV_CODEC_ID_UTVIDEO},
     "Editing and archiving (lossless): programs with the codec installed, desktop players"},
    {{AV_CODEC_ID_MP3, AV_CODEC_ID_MP2}, "Every player, standalone ones too"},
    {{AV_CODEC_ID_AC3}, "Every desktop player and most standalone players"},
    {{AV_CODEC_ID_AAC, AV_CODEC_ID_EAC3, AV_CODEC_ID_VORBIS, AV_CODEC_ID_OPUS},
     "Desktop players only; standalone players do not read it in AVI"},
};

bool IsPcm(AVCodecID id)
{
    return id >= AV_CODEC_ID_FIRST_AUDIO && id < AV_CODEC_ID_ADPCM_IMA_QT;
}

} // namespace

std::string WherePlays(const AVCodec* codec)
{
    if (IsPcm(codec->id))
        return "Editing programs and ImageJ; every player";
    for (const Reach& reach : kReaches) {
        if (std::find(reach.codecs.begin(), reach.codecs.end(), codec->id) != reach.codecs.end())
            return reach.where;
    }
    return {};
}

} // namespace calvex::media::ffmpeg
