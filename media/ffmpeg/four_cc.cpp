// SPDX-License-Identifier: GPL-2.0-or-later
#include "media/ffmpeg/four_cc.h"

#include <cstring>

namespace calvex::media::ffmpeg {
namespace {

struct FourCc {
    const char* name;
    const char* help;
};

// FFmpeg's MPEG-4 part 2 encoder; Xvid's writes its own name.
const std::vector<FourCc> kMpeg4FourCcs = {
    {"XVID", "Xvid: what DivX/Xvid certified players and most programs look for"},
    {"DIVX", "DivX 4 and later"},
    {"DX50", "DivX 5: some older standalone players want this one"},
    {"FMP4", "FFmpeg's own: only FFmpeg-based players know it"},
};

const std::vector<FourCc>* FourCcsOf(const AVCodec* codec)
{
    return std::strcmp(codec->name, "mpeg4") == 0 ? &kMpeg4FourCcs : nullptr;
}

} // namespace

std::optional<EncoderSetting> FourCcSetting(const AVCodec* codec)
{
    const std::vector<FourCc>* fourCcs = FourCcsOf(codec);
    if (fourCcs == nullptr)
        return std::nullopt;
    std::vector<SettingChoice> choices;
    for (const FourCc& fourCc : *fourCcs)
        choices.push_back({fourCc.name, fourCc.help, fourCc.name});
    return ChoiceSetting(kFourCcSetting, "FourCC",
                         "The name the AVI gives its picture codec, by which players find a "
                         "decoder for it.",
                         SettingGroup::Encoder, std::move(choices), DefaultFourCc(codec));
}

std::string DefaultFourCc(const AVCodec* codec)
{
    const std::vector<FourCc>* fourCcs = FourCcsOf(codec);
    return fourCcs != nullptr ? fourCcs->front().name : "";
}

OptionValues WithCodecTag(OptionValues options)
{
    for (auto& [name, value] : options) {
        if (name != kFourCcSetting || value.size() != 4)
            continue;
        name = "codec_tag";
        value = std::to_string(MKTAG(value[0], value[1], value[2], value[3]));
    }
    return options;
}

} // namespace calvex::media::ffmpeg
