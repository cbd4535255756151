// SPDX-License-Identifier: GPL-2.0-or-later
#include "media/ffmpeg/encoded_silence.h"

#include <cmath>

extern "C" {
#include <libavutil/opt.h>
#include <libavutil/samplefmt.h>
}

namespace calvex::media::ffmpeg {
namespace {

// The encoder that makes frames a decoder of codec reads as its own.
const AVCodec* SilenceEncoder(AVCodecID codec)
{
    switch (codec) {
    case AV_CODEC_ID_MP3:
        return avcodec_find_encoder_by_name("libmp3lame");
    case AV_CODEC_ID_MP2:
    case AV_CODEC_ID_AC3:
    case AV_CODEC_ID_AAC:
        return avcodec_find_encoder(codec);
    default:
        return nullptr;
    }
}

// An opened encoder for sound's format; null when it will not open so.
CodecContextPtr OpenSilenceEncoder(const AVCodecParameters* sound)
{
    const AVCodec* codec = SilenceEncoder(sound->codec_id);
    CodecContextPtr context(codec ? avcodec_alloc_context3(codec) : nullptr);
    if (!context || codec->sample_fmts == nullptr)
        return nullptr;
    context->sample_rate = sound->sample_rate;
    context->sample_fmt = codec->sample_fmts[0];
    context->time_base = {1, sound->sample_rate};
    context->bit_rate = sound->bit_rate;
    if (av_channel_layout_copy(&context->ch_layout, &sound->ch_layout) < 0)
        return nullptr;
    if (context->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
        av_channel_layout_default(&context->ch_layout, sound->ch_layout.nb_channels);
    // Each MP3 frame whole in itself: the copied frames after them must not
    // read the silence's bits as their own reservoir.
    if (sound->codec_id == AV_CODEC_ID_MP3)
        av_opt_set_int(context->priv_data, "reservoir", 0, 0);
    if (avcodec_open2(context.get(), codec, nullptr) < 0 || context->frame_size <= 0)
        return nullptr;
    return context;
}

// A frame of frameSize silent samples in the encoder's format.
FramePtr SilentFrame(const AVCodecContext* encoder)
{
    FramePtr frame = MakeFrame();
    if (!frame)
        return nullptr;
    frame->format = encoder->sample_fmt;
    frame->nb_samples = encoder->frame_size;
    frame->sample_rate = encoder->sample_rate;
    if (av_channel_layout_copy(&frame->ch_layout, &encoder->ch_layout) < 0 ||
        av_frame_get_buffer(frame.get(), 0) < 0 ||
        av_samples_set_silence(frame->extended_data, 0, frame->nb_samples,
                               frame->ch_layout.nb_channels, encoder->sample_fmt) < 0)
        return nullptr;
    return frame;
}

// Encodes silent frames until wanted packets came out (an encoder gives its
// first packets only after a delay of its own); every one of them is silence.
std::vector<PacketPtr> EncodePackets(AVCodecContext* encoder, const AVFrame* silence,
                                     int64_t wanted)
{
    std::vector<PacketPtr> packets;
    // Enough input for the encoder's delay too; then it is flushed.
    const int64_t frames = wanted + 4;
    for (int64_t sent = 0; sent <= frames && static_cast<int64_t>(packets.size()) < wanted;
         ++sent) {
        FramePtr frame = MakeFrame();
        if (!frame || (sent < frames && av_frame_ref(frame.get(), silence) < 0))
            return {};
        if (sent < frames)
            frame->pts = sent * encoder->frame_size;
        if (avcodec_send_frame(encoder, sent < frames ? frame.get() : nullptr) < 0)
            return {};
        for (PacketPtr packet = MakePacket(); packet; packet = MakePacket()) {
            if (avcodec_receive_packet(encoder, packet.get()) < 0)
                break;
            packets.push_back(std::move(packet));
        }
    }
    if (static_cast<int64_t>(packets.size()) < wanted)
        return {};
    packets.resize(wanted);
    return packets;
}

} // namespace

bool CanEncodeSilenceFor(const AVCodecParameters* sound)
{
    if (sound->sample_rate <= 0 || sound->ch_layout.nb_channels <= 0)
        return false;
    // HE-AAC's decoder reads the stream's SBR: plain AAC-LC frames are no part of it.
    if (sound->codec_id == AV_CODEC_ID_AAC && sound->profile != FF_PROFILE_AAC_LOW)
        return false;
    return SilenceEncoder(sound->codec_id) != nullptr;
}

std::vector<PacketPtr> EncodeSilence(const AVCodecParameters* sound, int64_t samples)
{
    if (!CanEncodeSilenceFor(sound))
        return {};
    CodecContextPtr encoder = OpenSilenceEncoder(sound);
    FramePtr silence = encoder ? SilentFrame(encoder.get()) : nullptr;
    if (!silence)
        return {};
    const int64_t frameSize = encoder->frame_size;
    const int64_t wanted = (samples + frameSize / 2) / frameSize;
    if (wanted <= 0)
        return {};
    std::vector<PacketPtr> packets = EncodePackets(encoder.get(), silence.get(), wanted);
    for (size_t i = 0; i < packets.size(); ++i) {
        packets[i]->pts = packets[i]->dts = static_cast<int64_t>(i) * frameSize;
        packets[i]->duration = frameSize;
        packets[i]->flags |= AV_PKT_FLAG_KEY;
    }
    return packets;
}

} // namespace calvex::media::ffmpeg
