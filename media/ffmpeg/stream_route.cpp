// SPDX-License-Identifier: GPL-2.0-or-later
#include "media/ffmpeg/stream_route.h"

#include <algorithm>
#include <cstring>

namespace calvex::media::ffmpeg {
namespace {

bool IsEndOrMore(int code)
{
    return code == AVERROR(EAGAIN) || code == AVERROR_EOF;
}

// "the source's video stream (h264)", for messages.
std::string StreamName(const AVStream* stream)
{
    const char* kind = av_get_media_type_string(stream->codecpar->codec_type);
    return std::string("the source's ") + (kind ? kind : "") + " stream (" +
           avcodec_get_name(stream->codecpar->codec_id) + ")";
}

} // namespace

bool CopyRoute::Start(OutputMux& mux, const std::atomic<bool>&)
{
    m_mux = &mux;
    m_outputIndex = mux.AddStream();
    if (m_outputIndex < 0)
        return false;
    AVStream* stream = mux.Stream(m_outputIndex);
    if (const int copied = avcodec_parameters_copy(stream->codecpar, m_source->codecpar);
        copied < 0) {
        mux.Fail("Cannot copy " + StreamName(m_source) + ": " + ErrorText(copied));
        return false;
    }
    // The AVI muxer picks the tag of its own for the codec.
    stream->codecpar->codec_tag = 0;
    // A block alignment makes the AVI muxer treat the stream as fixed-size
    // samples; AC-3 and MP3 frames are not, so their packets must keep their times.
    AVCodecParameters* parameters = stream->codecpar;
    if (parameters->codec_id == AV_CODEC_ID_AC3 ||
        (parameters->codec_id == AV_CODEC_ID_MP3 &&
         (parameters->block_align == 1 || parameters->block_align == 576 ||
          parameters->block_align == 1152)))
        parameters->block_align = 0;
    stream->time_base = m_source->time_base;
    mux.MarkReady(m_outputIndex);
    return true;
}

bool CopyRoute::Feed(AVPacket* packet)
{
    // What the source marks to be left out (before an edit list's start) is
    // not part of the stream as it plays.
    if (packet->flags & AV_PKT_FLAG_DISCARD)
        return true;
    if (m_firstPts == AV_NOPTS_VALUE) {
        m_firstPts = packet->pts;
        if (IsPcm() && m_firstPts > 0 && !WriteSilence(m_firstPts))
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
    : m_source(source), m_encoderCodec(encoder), m_plan(plan), m_options(std::move(options))
{
}

bool TranscodeRoute::Start(OutputMux& mux, const std::atomic<bool>& stop)
{
    m_mux = &mux;
    m_stop = &stop;
    if (!m_decoded || !m_filtered)
        return false;
    const AVCodec* decoder = avcodec_find_decoder(m_source->codecpar->codec_id);
    if (decoder == nullptr) {
        mux.Fail("There is no decoder for " + StreamName(m_source));
        return false;
    }
    m_decoder.reset(avcodec_alloc_context3(decoder));
    if (!m_decoder || avcodec_parameters_to_context(m_decoder.get(), m_source->codecpar) < 0)
        return false;
    m_decoder->pkt_timebase = m_source->time_base;
    // As many threads as cores, on frames and slices, as the ffmpeg program does.
    m_decoder->thread_count = 0;
    m_decoder->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
    ForgetLoggedError();
    if (const int opened = avcodec_open2(m_decoder.get(), decoder, nullptr); opened < 0) {
        mux.Fail("Cannot decode " + StreamName(m_source) + ": " + ErrorText(opened));
        return false;
    }
    m_outputIndex = mux.AddStream();
    return m_outputIndex >= 0;
}

bool TranscodeRoute::Feed(AVPacket* packet)
{
    // A damaged packet is skipped; the job goes on with the next one.
    const int sent = avcodec_send_packet(m_decoder.get(), packet);
    av_packet_unref(packet);
    if (sent < 0 && sent != AVERROR(EAGAIN))
        return true;
    return ReceiveDecodedFrames();
}

bool TranscodeRoute::ReceiveDecodedFrames()
{
    while (!m_stop->load()) {
        const int received = avcodec_receive_frame(m_decoder.get(), m_decoded.get());
        if (received < 0)
            return true; // more input needed, the end, or a frame that could not be decoded
        m_decoded->pts = m_decoded->best_effort_timestamp;
        const bool filtered = FilterFrame(m_decoded.get());
        av_frame_unref(m_decoded.get());
        if (!filtered)
            return false;
    }
    return true;
}

bool TranscodeRoute::FilterFrame(AVFrame* frame)
{
    if (!m_chain.IsConfigured() || !m_chain.Accepts(frame)) {
        // A change of picture or sound format mid-stream: finish the old chain first.
        if (m_chain.IsConfigured() && (m_chain.PushEnd(m_endPts) < 0 || !ReceiveFilteredFrames()))
            return false;
        if (!m_chain.Configure(frame, m_source->time_base, m_plan)) {
            m_mux->Fail("Cannot convert " + StreamName(m_source) + " for the encoder " +
                        m_encoderCodec->name);
            return false;
        }
    }
    if (frame->pts != AV_NOPTS_VALUE)
        m_endPts = frame->pts + FrameDuration(frame);
    if (m_chain.Push(frame) < 0)
        return false;
    return ReceiveFilteredFrames();
}

int64_t TranscodeRoute::FrameDuration(const AVFrame* frame) const
{
    if (!IsVideo()) {
        if (frame->pkt_duration > 0)
            return frame->pkt_duration;
        return av_rescale_q(frame->nb_samples, {1, frame->sample_rate}, m_source->time_base);
    }
    // A picture lasts at least one frame of the output's rate, so that a last
    // frame the container cut short is still written.
    const int64_t outputFrame =
        av_rescale_q(1, av_inv_q(m_plan.video.frameRate), m_source->time_base);
    return std::max<int64_t>(frame->pkt_duration, outputFrame);
}

bool TranscodeRoute::ReceiveFilteredFrames()
{
    // A stop is looked at for every frame: a chain can give many for one
    // input (a frame rate filling a gap).
    while (!m_stop->load()) {
        const int pulled = m_chain.Pull(m_filtered.get());
        if (IsEndOrMore(pulled))
            return true;
        if (pulled < 0)
            return false;
        const bool encoded = Encode(m_filtered.get());
        av_frame_unref(m_filtered.get());
        if (!encoded)
            return false;
    }
    return true;
}

bool TranscodeRoute::OpenEncoder(AVRational aspect)
{
    m_encoder.reset(avcodec_alloc_context3(m_encoderCodec));
    if (!m_encoder)
        return false;
    m_encoder->thread_count = 0;
    if (aspect.num > 0 && aspect.den > 0)
        m_encoder->sample_aspect_ratio = aspect;
    ForgetLoggedError();
    const int opened = ffmpeg::OpenEncoder(m_encoder.get(), m_encoderCodec, m_plan, m_options);
    if (opened < 0)
        m_mux->Fail(std::string("Cannot open the encoder ") + m_encoderCodec->name +
                    " with its settings: " + ErrorText(opened));
    if (opened < 0 || !ConnectEncoder()) {
        m_encoder.reset();
        return false;
    }
    return true;
}

bool TranscodeRoute::ConnectEncoder()
{
    AVStream* stream = m_mux->Stream(m_outputIndex);
    if (avcodec_parameters_from_context(stream->codecpar, m_encoder.get()) < 0)
        return false;
    stream->time_base = m_encoder->time_base;
    stream->avg_frame_rate = m_encoder->framerate;
    m_mux->MarkReady(m_outputIndex);
    if (IsVideo())
        m_encoderThread = std::make_unique<EncoderThread>(m_encoder.get(), *m_mux, m_outputIndex);
    else
        m_writer = std::make_unique<PacketWriter>(m_encoder.get(), *m_mux, m_outputIndex);
    return true;
}

bool TranscodeRoute::Encode(AVFrame* frame)
{
    // The encoder opens on its first frame: some cannot be closed unused.
    if (!m_encoder && !OpenEncoder(frame->sample_aspect_ratio))
        return false;
    frame->pts = av_rescale_q(frame->pts, m_chain.OutputTimeBase(), m_encoder->time_base);
    // The decoder's frame types must not force key frames on the encoder.
    frame->pict_type = AV_PICTURE_TYPE_NONE;
    if (m_encoderThread)
        return m_encoderThread->Push(frame);
    return m_writer->Encode(frame);
}

bool TranscodeRoute::Drain()
{
    avcodec_send_packet(m_decoder.get(), nullptr);
    if (!ReceiveDecodedFrames())
        return false;
    if (m_chain.IsConfigured() && (m_chain.PushEnd(m_endPts) < 0 || !ReceiveFilteredFrames()))
        return false;
    if (!m_encoder)
        return true;
    if (m_encoderThread)
        return m_encoderThread->Finish();
    return m_writer->Encode(nullptr);
}

bool TranscodeRoute::FlushEncoderBy(std::chrono::steady_clock::time_point deadline)
{
    if (!m_encoder)
        return true;
    if (m_encoderThread)
        return m_encoderThread->FinishBy(deadline);
    m_writer->SetDeadline(deadline);
    return m_writer->Encode(nullptr);
}

void TranscodeRoute::Halt()
{
    if (m_encoderThread)
        m_encoderThread->Halt();
}

bool TranscodeRoute::OpenWithoutFrame()
{
    if (m_encoder)
        return true;
    if (MustNotTrialOpen(m_encoderCodec))
        return false;
    return OpenEncoder({0, 1});
}

} // namespace calvex::media::ffmpeg
