// SPDX-License-Identifier: GPL-2.0-or-later
// One source stream's way into the AVI file while the graph runs: either its
// packets as they are, or decoder, filter chain and encoder.
#pragma once

#include "media/ffmpeg/av_ptr.h"
#include "media/ffmpeg/encoder_plan.h"
#include "media/ffmpeg/encoder_stage.h"
#include "media/ffmpeg/filter_stage.h"
#include "media/ffmpeg/frame_clock.h"
#include "media/ffmpeg/output_mux.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <string>

namespace calvex::media::ffmpeg {

// "the source's video stream (h264)", for messages.
std::string StreamName(const AVStream* stream);
// Why a decoded stream cannot be made what encoder takes.
std::string ConvertFailure(const AVStream* source, const AVCodec* encoder);
// An opened decoder of source, with threads for cores (0: this machine's);
// null, the reason noted on sink, when there is none or it cannot open.
CodecContextPtr OpenDecoder(const AVStream* source, int cores, PacketSink& sink);

class StreamRoute {
public:
    virtual ~StreamRoute() = default;
    // Prepares the route and adds its stream to mux; false when it cannot.
    // The route gives up its work as soon as stop turns true.
    virtual bool Start(OutputMux& mux, const std::atomic<bool>& stop) = 0;
    // Takes one source packet (time stamps already moved to the job's zero).
    virtual bool Feed(AVPacket* packet) = 0;
    // Sends what the route still holds after the source's end.
    virtual bool Drain() = 0;
    // Opens a waiting encoder without a frame, so the header can be written;
    // false when the encoder must not be opened that way.
    virtual bool OpenWithoutFrame() = 0;
    // After a stop: writes what the encoder still holds, until deadline.
    virtual bool FlushEncoderBy(std::chrono::steady_clock::time_point /*deadline*/) { return true; }
    // Ends any work of the route's own thread; called before the file is closed.
    virtual void Halt() {}
    virtual bool IsVideo() const = 0;
    // When copied sound starts after the job's zero: its delay in seconds.
    virtual double CopiedSoundDelay() const { return 0; }
    int OutputIndex() const { return m_outputIndex; }

protected:
    int m_outputIndex = -1;
};

// The stream's packets unchanged.
class CopyRoute : public StreamRoute {
public:
    explicit CopyRoute(const AVStream* source) : m_source(source) {}
    bool Start(OutputMux& mux, const std::atomic<bool>& stop) override;
    bool Feed(AVPacket* packet) override;
    bool Drain() override { return true; }
    bool OpenWithoutFrame() override { return true; }
    bool IsVideo() const override;
    double CopiedSoundDelay() const override;

private:
    bool IsPcm() const;
    // Silence from the job's zero up to until (source time base), in the
    // stream's own format where it can be made; false on a write error.
    bool WriteSilenceBefore(int64_t until);
    // Zero samples of PCM from the job's zero up to until.
    bool WriteSilence(int64_t until);

    const AVStream* m_source;
    OutputMux* m_mux = nullptr;
    int64_t m_firstPts = AV_NOPTS_VALUE; // on the job's timeline, in the source's time base
    bool m_filledSilence = false;
};

// Decode, convert, encode: decoding on the graph's thread, converting and
// encoding on stages of their own, so that the three run side by side.
class TranscodeRoute : public StreamRoute {
public:
    TranscodeRoute(const AVStream* source, const AVCodec* encoder, EncoderPlan plan,
                   OptionValues options);
    bool Start(OutputMux& mux, const std::atomic<bool>& stop) override;
    bool Feed(AVPacket* packet) override;
    bool Drain() override;
    bool OpenWithoutFrame() override;
    bool FlushEncoderBy(std::chrono::steady_clock::time_point deadline) override;
    void Halt() override;
    bool IsVideo() const override { return m_plan.kind == AVMEDIA_TYPE_VIDEO; }

private:
    bool ReceiveDecodedFrames();

    const AVStream* m_source;
    const AVCodec* m_encoderCodec;
    EncoderPlan m_plan;
    OptionValues m_options;
    const std::atomic<bool>* m_stop = nullptr;
    CodecContextPtr m_decoder;
    FrameClock m_clock;
    // The filter stage hands its frames to the encoder stage: it is declared
    // after it, so that it ends first.
    std::unique_ptr<EncoderStage> m_encoder;
    std::unique_ptr<FilterStage> m_filter;
    FramePtr m_decoded = MakeFrame();
};

} // namespace calvex::media::ffmpeg
