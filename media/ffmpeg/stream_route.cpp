// SPDX-License-Identifier: GPL-2.0-or-later
#include "media/ffmpeg/stream_route.h"

#include "media/ffmpeg/codec_threads.h"
#include "media/ffmpeg/encoded_silence.h"

#include <algorithm>
#include <cstring>

namespace calvex::media::ffmpeg {

std::string StreamName(const AVStream* stream)
{
    const char* kind = av_get_media_type_string(stream->codecpar->codec_type);
    return std::string("the source's ") + (kind ? kind : "") + " stream (" +
           avcodec_get_name(stream->codecpar->codec_id) + ")";
}

std::string ConvertFailure(const AVStream* source, const AVCodec* encoder)
{
    return "Cannot convert " + StreamName(source) + " for the encoder " + encoder->name;
}

CodecContextPtr OpenDecoder(const AVStream* source, int cores, PacketSink& sink)
{
    const AVCodec* decoder = avcodec_find_decoder(source->codecpar->codec_id);
    if (decoder == nullptr) {
        sink.Fail("There is no decoder for " + StreamName(source));
        return nullptr;
    }
    CodecContextPtr context(avcodec_alloc_context3(decoder));
    if (!context || avcodec_parameters_to_context(context.get(), source->codecpar) < 0)
        return nullptr;
    context->pkt_timebase = source->time_base;
    if (cores > 0)
        SizeDecoderThreads(context.get(), cores);
    else
        SizeDecoderThreads(context.get());
    ForgetLoggedError();
    if (const int opened = avcodec_open2(context.get(), decoder, nullptr); opened < 0) {
        sink.Fail("Cannot decode " + StreamName(source) + ": " + ErrorText(opened));
        return nullptr;
    }
    return context;
}

bool CopyRoute::Start(OutputMux& mux, const std::atomic<bool>&)
{
    m_mux = &mux;
    m_outputIndex = mux.AddStream();
    return m_outputIndex >= 0 && mux.ReadyStream(m_outputIndex, [&](AVStream& stream) {
        if (const int copied = avcodec_parameters_copy(stream.codecpar, m_source->codecpar);
            copied < 0) {
            mux.Fail("Cannot copy " + StreamName(m_source) + ": " + ErrorText(copied));
            return false;
        }
        // The AVI muxer picks the tag of its own for the codec.
        stream.codecpar->codec_tag = 0;
        // A block alignment makes the AVI muxer treat the stream as fixed-size
        // samples; AC-3 and MP3 frames are not, so their packets must keep their times.
        AVCodecParameters* parameters = stream.codecpar;
        if (parameters->codec_id == AV_CODEC_ID_AC3 ||
            (parameters->codec_id == AV_CODEC_ID_MP3 &&
             (parameters->block_align == 1 || parameters->block_align == 576 ||
              parameters->block_align == 1152)))
            parameters->block_align = 0;
        stream.time_base = m_source->time_base;
        return true;
    });
}

bool CopyRoute::Feed(AVPacket* packet)
{
    // What the source marks to be left out (before an edit list's start) is
    // not part of the stream as it plays.
    if (packet->flags & AV_PKT_FLAG_DISCARD)
        return true;
    if (m_firstPts == AV_NOPTS_VALUE) {
        m_firstPts = packet->pts;
        if (m_firstPts > 0 && !IsVideo() && !WriteSilenceBefore(m_firstPts))
            return false;
    }
    return m_mux->Write(m_outputIndex, packet, m_source->time_base);
}

bool CopyRoute::IsPcm() const
{
    const AVCodecParameters* sound = m_source->codecpar;
    return sound->codec_type == AVMEDIA_TYPE_AUDIO && sound->format >= 0 &&
           av_get_pcm_codec(static_cast<AVSampleFormat>(sound->format), -1) == sound->codec_id;
}

bool CopyRoute::WriteSilenceBefore(int64_t until)
{
    // Sound that starts this late is a stamp gone wrong rather than a late
    // start: silence for it would grow the file without end.
    constexpr int64_t kMostSilenceSeconds = 60;
    if (until * av_q2d(m_source->time_base) > kMostSilenceSeconds)
        return true;
    if (IsPcm())
        return WriteSilence(until);
    const AVCodecParameters* sound = m_source->codecpar;
    if (!CanEncodeSilenceFor(sound))
        return true; // the stream header's start field keeps the delay
    const AVRational sampleTime{1, sound->sample_rate};
    std::vector<PacketPtr> silence =
        EncodeSilence(sound, av_rescale_q(until, m_source->time_base, sampleTime));
    for (PacketPtr& packet : silence) {
        av_packet_rescale_ts(packet.get(), sampleTime, m_source->time_base);
        if (!m_mux->Write(m_outputIndex, packet.get(), m_source->time_base))
            return false;
    }
    m_filledSilence = !silence.empty();
    return true;
}

bool CopyRoute::WriteSilence(int64_t until)
{
    // PCM's silence is its zero sample, the same bytes as the copied stream's.
    const AVCodecParameters* sound = m_source->codecpar;
    const int64_t samples = av_rescale_q(until, m_source->time_base, {1, sound->sample_rate});
    const int64_t sampleBytes =
        av_get_bits_per_sample(sound->codec_id) / 8 * sound->ch_layout.nb_channels;
    PacketPtr silence = MakePacket();
    if (samples <= 0 || sampleBytes <= 0)
        return true;
    if (!silence || av_new_packet(silence.get(), static_cast<int>(samples * sampleBytes)) < 0)
        return false;
    const int zero = sound->codec_id == AV_CODEC_ID_PCM_U8 ? 0x80 : 0;
    std::memset(silence->data, zero, silence->size);
    silence->pts = silence->dts = 0;
    silence->duration = until;
    m_filledSilence = true;
    return m_mux->Write(m_outputIndex, silence.get(), m_source->time_base);
}

double CopyRoute::CopiedSoundDelay() const
{
    if (IsVideo() || m_filledSilence || m_firstPts == AV_NOPTS_VALUE || m_firstPts <= 0)
        return 0;
    return static_cast<double>(m_firstPts) * av_q2d(m_source->time_base);
}

bool CopyRoute::IsVideo() const
{
    return m_source->codecpar->codec_type == AVMEDIA_TYPE_VIDEO;
}

TranscodeRoute::TranscodeRoute(const AVStream* source, const AVCodec* encoder, EncoderPlan plan,
                               OptionValues options)
    : m_source(source), m_encoderCodec(encoder), m_plan(plan), m_options(std::move(options)),
      m_clock(source)
{
}

bool TranscodeRoute::Start(OutputMux& mux, const std::atomic<bool>& stop)
{
    m_stop = &stop;
    if (!m_decoded)
        return false;
    m_decoder = OpenDecoder(m_source, 0, mux);
    if (!m_decoder)
        return false;
    m_outputIndex = mux.AddStream();
    if (m_outputIndex < 0)
        return false;
    m_encoder =
        std::make_unique<EncoderStage>(m_encoderCodec, m_plan, m_options, mux, m_outputIndex, stop);
    m_filter = std::make_unique<FilterStage>(
        m_source, m_plan, ConvertFailure(m_source, m_encoderCodec), *m_encoder, mux, stop);
    return true;
}

bool TranscodeRoute::Feed(AVPacket* packet)
{
    // A decoder with frames to give first refuses the packet (EAGAIN) until
    // they are taken; then it takes it.
    if (avcodec_send_packet(m_decoder.get(), packet) == AVERROR(EAGAIN)) {
        if (!ReceiveDecodedFrames())
            return false;
        if (!m_stop->load())
            avcodec_send_packet(m_decoder.get(), packet);
    }
    // A damaged packet is skipped; the job goes on with the next one.
    av_packet_unref(packet);
    return ReceiveDecodedFrames();
}

bool TranscodeRoute::ReceiveDecodedFrames()
{
    while (!m_stop->load()) {
        const int received = avcodec_receive_frame(m_decoder.get(), m_decoded.get());
        if (received < 0)
            return true; // more input needed, the end, or a frame that could not be decoded
        m_clock.Stamp(m_decoded.get());
        // A frame the filter stage does not take ends the job, unless it stops.
        if (!m_filter->Push(m_decoded.get())) {
            av_frame_unref(m_decoded.get());
            return m_stop->load();
        }
    }
    return true;
}

bool TranscodeRoute::Drain()
{
    avcodec_send_packet(m_decoder.get(), nullptr);
    return ReceiveDecodedFrames() && m_filter->Finish() && m_encoder->Finish();
}

bool TranscodeRoute::FlushEncoderBy(std::chrono::steady_clock::time_point deadline)
{
    // What waits for the filter stage is left; the encoder gives what it has.
    m_filter->Cancel();
    return m_encoder->FinishBy(deadline);
}

void TranscodeRoute::Halt()
{
    if (m_filter)
        m_filter->Cancel();
    if (m_encoder)
        m_encoder->Halt();
}

bool TranscodeRoute::OpenWithoutFrame()
{
    return m_encoder->OpenWithoutFrame();
}

} // namespace calvex::media::ffmpeg
