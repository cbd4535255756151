// SPDX-License-Identifier: GPL-2.0-or-later
#include "media/ffmpeg/encoder_stage.h"

#include "media/ffmpeg/codec_threads.h"
#include "media/ffmpeg/failure.h"
#include "media/ffmpeg/thread_name.h"

namespace calvex::media::ffmpeg {
namespace {

// Frames waiting for the encoder: four pictures absorb the ups and downs of
// decoding (a key frame, a busy scene) so that neither stage waits for the
// other (1080p MPEG-4 part 2: the cores 91 % busy instead of 85 %, for 3 MiB
// more); sound frames are small, more of them smooth the hand-over.
size_t QueueLength(AVMediaType kind)
{
    return kind == AVMEDIA_TYPE_VIDEO ? 4 : 8;
}

} // namespace

EncoderStage::EncoderStage(const AVCodec* codec, const EncoderPlan& plan,
                           const OptionValues& options, PacketSink& mux, int outputIndex,
                           const std::atomic<bool>& stop, size_t queueLength)
    : m_codec(codec), m_plan(plan), m_options(options), m_mux(mux), m_outputIndex(outputIndex),
      m_stop(stop), m_queueLength(queueLength > 0 ? queueLength : QueueLength(plan.kind))
{
}

EncoderStage::~EncoderStage()
{
    Halt();
}

int EncoderStage::OpenContext(AVRational aspect, SliceCount slices, bool& ownSlices)
{
    m_context.reset(avcodec_alloc_context3(m_codec));
    if (!m_context)
        return AVERROR(ENOMEM);
    ownSlices = SizeEncoderThreads(m_context.get(), m_codec, m_plan, m_options, slices);
    if (aspect.num > 0 && aspect.den > 0)
        m_context->sample_aspect_ratio = aspect;
    ForgetLoggedError();
    const ThreadNameDuring opening(EncoderThreadName(m_codec->name));
    return OpenEncoder(m_context.get(), m_codec, m_plan, m_options);
}

bool EncoderStage::Open(AVRational aspect)
{
    bool ownSlices = false;
    int opened = OpenContext(aspect, SliceCount::Balanced, ownSlices);
    if (opened < 0 && ownSlices)
        opened = OpenContext(aspect, SliceCount::FFmpegs, ownSlices);
    if (opened < 0) {
        m_mux.Fail(std::string("Cannot open the encoder ") + m_codec->name +
                   " with its settings: " + ErrorText(opened));
        m_context.reset();
        return false;
    }
    const bool ready = m_mux.ReadyStream(m_outputIndex, [&](AVStream& stream) {
        stream.time_base = m_context->time_base;
        stream.avg_frame_rate = m_context->framerate;
        return avcodec_parameters_from_context(stream.codecpar, m_context.get()) >= 0;
    });
    if (!ready) {
        m_context.reset();
        return false;
    }
    m_thread =
        std::make_unique<EncoderThread>(m_context.get(), m_mux, m_outputIndex, m_queueLength,
                                        m_stop, m_plan.pass == 1 ? m_plan.passLog.get() : nullptr);
    return true;
}

bool EncoderStage::Encode(AVFrame* frame, AVRational timeBase)
{
    // The encoder and its thread are made once, under the lock, and live as
    // long as the stage: what is read here stays valid after the lock.
    EncoderThread* thread = nullptr;
    AVRational encoderTimeBase{};
    {
        std::lock_guard lock(m_openMutex);
        if (!m_context && !Open(frame->sample_aspect_ratio))
            return false;
        thread = m_thread.get();
        encoderTimeBase = m_context->time_base;
    }
    frame->pts = av_rescale_q(frame->pts, timeBase, encoderTimeBase);
    // The decoder's frame types must not force key frames on the encoder.
    frame->pict_type = AV_PICTURE_TYPE_NONE;
    return thread->Push(frame);
}

bool EncoderStage::OpenWithoutFrame()
{
    std::lock_guard lock(m_openMutex);
    if (m_context)
        return true;
    if (MustNotTrialOpen(m_codec))
        return false;
    return Open({0, 1});
}

bool EncoderStage::Finish()
{
    std::lock_guard lock(m_openMutex);
    return !m_thread || m_thread->Finish();
}

bool EncoderStage::FinishBy(std::chrono::steady_clock::time_point deadline)
{
    std::lock_guard lock(m_openMutex);
    return !m_thread || m_thread->FinishBy(deadline);
}

void EncoderStage::Halt()
{
    std::lock_guard lock(m_openMutex);
    if (m_thread)
        m_thread->Halt();
}

} // namespace calvex::media::ffmpeg
