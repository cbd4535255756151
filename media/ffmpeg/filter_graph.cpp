// SPDX-License-Identifier: GPL-2.0-or-later
#include "media/ffmpeg/filter_graph.h"

#include "media/ffmpeg/compressor_filter.h"
#include "media/ffmpeg/encoder_catalogue.h"
#include "media/ffmpeg/failure.h"
#include "media/ffmpeg/player_profile.h"
#include "media/ffmpeg/thread_name.h"
#include "media/ffmpeg/two_pass.h"

#include <algorithm>
#include <chrono>

extern "C" {
#include <libavutil/channel_layout.h>
}

namespace calvex::media::ffmpeg {
namespace {

class MuxSeeking : public IMediaSeeking {
public:
    explicit MuxSeeking(std::shared_ptr<MuxProgress> progress) : m_progress(std::move(progress)) {}
    bool GetDuration(int64_t& duration) override
    {
        duration = m_progress->durationHns.load();
        return true;
    }
    bool GetCurrentPosition(int64_t& position) override
    {
        position = m_progress->positionHns.load();
        return true;
    }

private:
    std::shared_ptr<MuxProgress> m_progress;
};

// The stream's frame rate as FFmpeg guesses it: the base rate of its stamps
// where that is plausible (a last frame cut short skews the average), else
// the average; 25 when neither is known. A variable rate comes out at it,
// each picture held for its time.
AVRational NominalFrameRate(const AVStream* stream)
{
    const AVRational guessed = av_guess_frame_rate(nullptr, const_cast<AVStream*>(stream), nullptr);
    if (guessed.num > 0 && guessed.den > 0)
        return guessed;
    return {25, 1};
}

std::optional<EncoderPlan> PlanFor(const AVStream* stream, const AVCodec* codec,
                                   const OptionValues& options)
{
    const AVCodecParameters* parameters = stream->codecpar;
    if (codec->type == AVMEDIA_TYPE_VIDEO) {
        // The encoder gets the picture as players show it: turned upright.
        const PictureTurn turn = TurnOf(stream);
        VideoFormat source{parameters->width, parameters->height,
                           static_cast<AVPixelFormat>(parameters->format),
                           PlayerFrameRate(options, NominalFrameRate(stream))};
        AVRational aspect =
            av_guess_sample_aspect_ratio(nullptr, const_cast<AVStream*>(stream), nullptr);
        if (turn.SwapsSides()) {
            std::swap(source.width, source.height);
            std::swap(aspect.num, aspect.den);
        }
        // Scaled down to the largest picture asked for, its shape kept.
        std::optional<PictureSize> fitted;
        if (const auto box = LargestPicture(options, source.frameRate))
            fitted = FitPicture(source.width, source.height, aspect, *box);
        if (fitted) {
            source.width = fitted->width;
            source.height = fitted->height;
        }
        std::optional<EncoderPlan> plan = PlanVideo(codec, source, options);
        if (plan) {
            plan->turn = turn;
            plan->squarePixels = fitted.has_value();
        }
        return plan;
    }
    AudioFormat source;
    source.sampleRate = parameters->sample_rate > 0 ? parameters->sample_rate : 44100;
    source.sampleFormat = static_cast<AVSampleFormat>(parameters->format);
    if (source.sampleFormat == AV_SAMPLE_FMT_NONE)
        source.sampleFormat = AV_SAMPLE_FMT_S16;
    if (parameters->ch_layout.order == AV_CHANNEL_ORDER_NATIVE) {
        source.channelMask = parameters->ch_layout.u.mask;
    } else {
        AVChannelLayout layout{};
        av_channel_layout_default(&layout, std::max(1, parameters->ch_layout.nb_channels));
        source.channelMask = layout.u.mask;
    }
    return PlanAudio(codec, source, options);
}

// Why the encoder will not take the source's picture: the source itself, or
// the one setting that it refuses.
std::string ExplainRefusal(const AVStream* stream, const CompressorFilter& compressor)
{
    const std::string encoder = std::string("The encoder ") + compressor.Codec()->name;
    ForgetLoggedError();
    if (!PlanFor(stream, compressor.Codec(), {})) {
        const AVCodecParameters* picture = stream->codecpar;
        std::string reason = encoder + " cannot encode the source's picture (" +
                             std::to_string(picture->width) + "x" +
                             std::to_string(picture->height) + ")";
        if (const std::string logged = TakeLoggedError(); !logged.empty())
            reason += ": " + logged;
        return reason;
    }
    for (const auto& option : compressor.Options()) {
        ForgetLoggedError();
        if (!PlanFor(stream, compressor.Codec(), {option})) {
            std::string reason =
                encoder + " refused the setting " + option.first + "=" + option.second;
            if (const std::string logged = TakeLoggedError(); !logged.empty())
                reason += ": " + logged;
            return reason;
        }
    }
    return encoder + " refused its settings taken together";
}

// True when a decoder of the stream's codec opens on its parameters.
bool DecoderOpens(const AVCodecParameters* stream)
{
    const AVCodec* decoder = avcodec_find_decoder(stream->codec_id);
    CodecContextPtr context(decoder ? avcodec_alloc_context3(decoder) : nullptr);
    return context && avcodec_parameters_to_context(context.get(), stream) >= 0 &&
           avcodec_open2(context.get(), decoder, nullptr) >= 0;
}

} // namespace

std::shared_ptr<IMediaSeeking> MuxFilter::QueryMediaSeeking()
{
    return std::make_shared<MuxSeeking>(m_progress);
}

FilterGraph::FilterGraph(std::filesystem::path output)
    : m_output(std::move(output)), m_mux(std::make_shared<MuxFilter>(m_progress))
{
}

FilterGraph::~FilterGraph()
{
    m_stopRequested.store(true);
    if (m_thread.joinable())
        m_thread.join();
}

FilterPtr FilterGraph::AddSourceFilter(const std::filesystem::path& path, const std::string&)
{
    std::string failure;
    std::shared_ptr<SourceFilter> source = SourceFilter::Open(path, failure);
    if (!source) {
        m_failure.Note(failure);
        return nullptr;
    }
    std::lock_guard lock(m_mutex);
    m_filters.push_back(source);
    if (m_progress->durationHns.load() == 0)
        m_progress->durationHns.store(source->DurationHns());
    return source;
}

bool FilterGraph::AddFilter(const FilterPtr& filter, const std::string&)
{
    if (!filter)
        return false;
    std::lock_guard lock(m_mutex);
    m_filters.push_back(filter);
    return true;
}

bool FilterGraph::Render(const FilterPtr& source, const FilterPtr& via)
{
    auto demuxer = std::dynamic_pointer_cast<SourceFilter>(source);
    std::lock_guard lock(m_mutex);
    // One source feeds the graph; streams of a second one cannot join it.
    if (!demuxer || m_started || (m_routedSource && m_routedSource != demuxer))
        return false;
    const bool rendered = via ? RenderEncoded(demuxer, via) : RenderCopy(demuxer);
    if (rendered) {
        m_routedSource = demuxer;
        m_progress->durationHns.store(demuxer->DurationHns());
    }
    return rendered;
}

bool FilterGraph::RenderCopy(const std::shared_ptr<SourceFilter>& source)
{
    const int index = source->ConnectNextStream(AVMEDIA_TYPE_UNKNOWN);
    if (index < 0)
        return false;
    const AVCodecParameters* stream = source->Format()->streams[index]->codecpar;
    // Copied packets that no decoder could read (a damaged header) would make
    // a file that no player opens: such a stream is not taken.
    if (!AviTakesCodec(stream->codec_id) || !DecoderOpens(stream)) {
        source->Disconnect(index);
        return false;
    }
    m_routes.push_back({index, nullptr, {}, {}});
    return true;
}

bool FilterGraph::RenderEncoded(const std::shared_ptr<SourceFilter>& source, const FilterPtr& via)
{
    auto compressor = std::dynamic_pointer_cast<CompressorFilter>(via);
    if (!compressor)
        return false;
    // Only the picture's failures end the job; without sound it goes on.
    const bool video = compressor->Kind() == AVMEDIA_TYPE_VIDEO;
    const int index = source->ConnectNextStream(compressor->Kind());
    if (index < 0) {
        if (video)
            m_failure.Note("The source file " + Quoted(source->Path()) + " has no picture stream");
        return false;
    }
    const AVStream* stream = source->Format()->streams[index];
    std::optional<EncoderPlan> plan = PlanFor(stream, compressor->Codec(), compressor->Options());
    if (!plan) {
        if (video)
            m_failure.Note(ExplainRefusal(stream, *compressor));
        source->Disconnect(index);
        return false;
    }
    m_routes.push_back({index, compressor->Codec(), *plan, compressor->Options()});
    return true;
}

bool FilterGraph::Run()
{
    std::lock_guard lock(m_mutex);
    if (m_started)
        return !m_finished;
    m_started = true;
    // A Stop that came first is kept: the job then reads nothing and ends
    // at once, leaving the file as a stopped run does.
    GraphJob job{m_output, m_routedSource, m_routes};
    m_thread = std::thread([this, job = std::move(job)] {
        NameThisThread("graph");
        // Nothing may end the program from this thread: a fault ends the job.
        try {
            Finish(RunGraphJob(job, m_stopRequested, m_progress->positionHns, m_failure));
        } catch (const std::exception& fault) {
            m_failure.Note(std::string("The conversion stopped on an internal fault: ") +
                           fault.what());
            Finish(EC_ERRORABORT);
        }
    });
    return true;
}

void FilterGraph::Finish(long eventCode)
{
    std::lock_guard lock(m_mutex);
    m_eventCode = eventCode;
    m_finished = true;
    m_ended.notify_all();
}

bool FilterGraph::ReplacesOutputItself() const
{
    std::lock_guard lock(m_mutex);
    return std::any_of(m_routes.begin(), m_routes.end(), [](const RouteRequest& route) {
        return AsksForTargetSize(route.encoder, route.options);
    });
}

void FilterGraph::Stop()
{
    // Only asks: the graph's thread ends at the next packet, writes the index
    // and closes the file; WaitForCompletion tells when that is done. The
    // caller (often the window's thread) must not wait for the flush.
    m_stopRequested.store(true);
}

WaitResult FilterGraph::WaitForCompletion(uint32_t timeoutMs, long& eventCode)
{
    std::unique_lock lock(m_mutex);
    if (!m_started)
        return WaitResult::Failed;
    const auto ended = [&] { return m_finished; };
    if (timeoutMs == INFINITE_WAIT)
        m_ended.wait(lock, ended);
    else if (!m_ended.wait_for(lock, std::chrono::milliseconds(timeoutMs), ended))
        return WaitResult::TimedOut;
    eventCode = m_eventCode;
    return WaitResult::Ended;
}

std::string FilterGraph::GetEndReason()
{
    std::lock_guard lock(m_mutex);
    return m_finished && m_eventCode == EC_ERRORABORT ? m_failure.Reason() : std::string();
}

} // namespace calvex::media::ffmpeg
