// SPDX-License-Identifier: GPL-2.0-or-later
#include "media/ffmpeg/graph_runner.h"

#include "media/engine.h"
#include "media/ffmpeg/avi_stream_start.h"
#include "media/ffmpeg/local_file.h"
#include "media/ffmpeg/output_mux.h"
#include "media/ffmpeg/stream_route.h"
#include "media/ffmpeg/stretch_route.h"
#include "media/ffmpeg/timeline.h"
#include "media/ffmpeg/two_pass.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <thread>

namespace calvex::media::ffmpeg {
namespace {

// Packets held back while an encoder waits for its first frame; past this the
// waiting encoders are opened without one, so memory stays bounded.
constexpr size_t kMaxPendingPackets = 1024;

// How long an aborted job gives its encoders to hand over what they hold.
constexpr std::chrono::milliseconds kFlushTime{1200};

// The earliest start among the routed streams: it becomes time zero, so
// sound and pictures keep their distance and the file starts at 0.
int64_t EarliestStart(const AVFormatContext* format, const std::vector<RouteRequest>& routes)
{
    int64_t earliest = AV_NOPTS_VALUE;
    for (const RouteRequest& request : routes) {
        const AVStream* stream = format->streams[request.streamIndex];
        if (stream->start_time == AV_NOPTS_VALUE)
            continue;
        const int64_t start = av_rescale_q(stream->start_time, stream->time_base, AV_TIME_BASE_Q);
        earliest = earliest == AV_NOPTS_VALUE ? start : std::min(earliest, start);
    }
    if (earliest == AV_NOPTS_VALUE)
        earliest = format->start_time != AV_NOPTS_VALUE ? format->start_time : 0;
    return earliest;
}

// length: the source's, AV_TIME_BASE units (AV_NOPTS_VALUE when unknown).
std::unique_ptr<StreamRoute> MakeRoute(const AVStream* stream, const RouteRequest& request,
                                       int64_t length)
{
    if (request.encoder == nullptr)
        return std::make_unique<CopyRoute>(stream);
    if (const int workers = StretchWorkers(request.encoder, request.plan, request.options);
        workers > 1)
        return std::make_unique<StretchRoute>(StretchCoding{stream, request.encoder, request.plan,
                                                            request.options,
                                                            length != AV_NOPTS_VALUE ? length : 0},
                                              workers);
    return std::make_unique<TranscodeRoute>(stream, request.encoder, request.plan, request.options);
}

// How a run of the graph takes part in the job.
struct RunSetup {
    bool analysis = false;      // a first pass: counts what it would write, writes no file
    bool replaceOutput = false; // the old output goes only as this run begins the file
    // The progress reported: offset + the time written / divisor (each pass half the bar).
    int64_t positionOffset = 0;
    int positionDivisor = 1;
};

class JobRun {
public:
    JobRun(const GraphJob& job, const std::atomic<bool>& stop, std::atomic<int64_t>& position,
           FailureNote& failure, const RunSetup& setup = {})
        : m_job(job), m_format(job.source->Format()), m_stop(stop), m_position(position),
          m_failure(failure), m_setup(setup), m_mux(failure), m_routes(m_format->nb_streams)
    {
    }

    // What an analysis run counted.
    PassCount Count() const
    {
        PassCount count;
        for (const RouteRequest& request : m_job.routes) {
            const auto& route = m_routes[request.streamIndex];
            const int64_t packets = route ? m_mux.PacketsWritten(route->OutputIndex()) : 0;
            count.packets += packets;
            if (route && route->IsVideo()) {
                count.pictures += packets;
                count.pictureSeconds +=
                    static_cast<double>(packets) / av_q2d(request.plan.video.frameRate);
            } else if (route) {
                count.otherBytes += m_mux.BytesWritten(route->OutputIndex());
            }
        }
        return count;
    }

    // One way out, whatever happens: the routes halted and the file finished
    // once, then the outcome decided.
    long Run()
    {
        if (m_job.routes.empty()) {
            m_failure.Note("Nothing of the source file " + Quoted(m_job.source->Path()) +
                           " can go into the AVI file");
            return EC_ERRORABORT;
        }
        const bool converted = OpenMux() && StartRoutes() && Convert();
        const bool stopped = m_stop.load();
        HaltRoutes();
        const bool finished = m_mux.Finish(stopped) && (m_setup.analysis || KeepSoundDelays());
        StorePosition();
        if (!converted || !finished)
            return Failed();
        if (stopped)
            return Stopped();
        if (!AnyVideoWritten()) {
            NoteNoPicture();
            return Failed();
        }
        return EC_COMPLETE;
    }

private:
    bool OpenMux()
    {
        if (m_setup.analysis)
            return m_mux.OpenCounting();
        if (m_setup.replaceOutput && IsRegularFile(m_job.output)) {
            std::error_code ignored;
            std::filesystem::remove(m_job.output, ignored);
        }
        return m_mux.Open(m_job.output);
    }

    void StorePosition()
    {
        m_position.store(m_setup.positionOffset + m_mux.LastTimeHns() / m_setup.positionDivisor);
    }

    // Reads the source to its end or a stop, then has the routes give what
    // they hold and opens the encoders still waiting for a frame.
    bool Convert()
    {
        if (!Pump())
            return false;
        const bool drained = m_stop.load() ? FlushEncoders() : DrainRoutes();
        return drained && OpenWaitingRoutes();
    }

    // The reason of a failed job; its file, finished by now, keeps what was
    // written before the error, and a file without a single picture is of
    // no use to anyone.
    long Failed()
    {
        if (m_failure.IsEmpty())
            m_failure.Note("The conversion failed for a reason FFmpeg did not give");
        if (AnyVideoWritten() && !m_setup.analysis) {
            m_failure.Append("The pictures converted before the error are kept in the output "
                             "file, which can be played");
        } else {
            RemoveOutput();
        }
        return EC_ERRORABORT;
    }

    // A job stopped before its first picture leaves no file: one without a
    // picture plays nowhere.
    long Stopped()
    {
        if (!AnyVideoWritten())
            RemoveOutput();
        return EC_NONE;
    }

    void RemoveOutput()
    {
        if (!m_mux.Created())
            return;
        std::error_code ignored;
        std::filesystem::remove(m_job.output, ignored);
    }

    // Copied sound that starts late keeps its delay in its stream header; its
    // packets stay as they are.
    bool KeepSoundDelays()
    {
        for (const auto& route : m_routes) {
            const double delay = route ? route->CopiedSoundDelay() : 0;
            if (delay > 0.001 && !SetAviStreamStart(m_job.output, route->OutputIndex(), delay)) {
                m_failure.Note("Cannot write the sound's delay into the output file " +
                               Quoted(m_job.output));
                return false;
            }
        }
        return true;
    }

    void NoteNoPicture()
    {
        const bool hasVideo = m_job.source->CountStreams(StreamKind::Video) > 0;
        m_failure.Note(hasVideo ? "No picture of the source file " + Quoted(m_job.source->Path()) +
                                      " could be decoded"
                                : "The source file " + Quoted(m_job.source->Path()) +
                                      " has no picture stream");
    }

    bool StartRoutes()
    {
        const int64_t zero = EarliestStart(m_format, m_job.routes);
        m_timeline.emplace(m_format, zero);
        for (unsigned i = 0; i < m_format->nb_streams; ++i)
            m_format->streams[i]->discard = AVDISCARD_ALL;
        for (const RouteRequest& request : m_job.routes) {
            AVStream* stream = m_format->streams[request.streamIndex];
            stream->discard = AVDISCARD_DEFAULT;
            auto& route = m_routes[request.streamIndex];
            route = MakeRoute(stream, request, m_format->duration);
            if (!route->Start(m_mux, m_stop))
                return false;
        }
        return true;
    }

    bool Pump()
    {
        PacketPtr packet = MakePacket();
        if (!packet)
            return false;
        while (!m_stop.load()) {
            const int read = av_read_frame(m_format, packet.get());
            if (read == AVERROR(EAGAIN)) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
                continue;
            }
            if (read < 0)
                return !SourceFailed(); // the end, or a damaged rest: the job ends there
            if (!FeedPacket(packet.get()))
                return false;
            StorePosition();
            if (!m_mux.HeaderWritten() && m_mux.PendingCount() > kMaxPendingPackets &&
                !OpenWaitingRoutes())
                return false;
        }
        return true;
    }

    // A read that failed (a disk error, a file cut off underneath) is no end
    // of the source: the job must not report it as complete.
    bool SourceFailed()
    {
        const AVIOContext* io = m_format->pb;
        const bool failed = io != nullptr && io->error < 0 && io->error != AVERROR_EOF;
        if (failed)
            m_failure.Note("Cannot read the source file " + Quoted(m_job.source->Path()) + ": " +
                           ErrorText(io->error));
        return failed;
    }

    bool FeedPacket(AVPacket* packet)
    {
        // A stream that shows up while the job runs was not routed: ignored.
        const auto index = static_cast<size_t>(packet->stream_index);
        if (index >= m_routes.size() || !m_routes[index]) {
            av_packet_unref(packet);
            return true;
        }
        m_timeline->Place(packet);
        const bool fed = m_routes[index]->Feed(packet);
        av_packet_unref(packet);
        return fed;
    }

    // True when done succeeds on every routed stream (stopping at the first failure).
    template <class Done> bool EveryRoute(Done done)
    {
        return std::all_of(m_routes.begin(), m_routes.end(),
                           [&](const auto& route) { return !route || done(*route); });
    }

    bool DrainRoutes()
    {
        return EveryRoute([](StreamRoute& route) { return route.Drain(); });
    }

    // After a stop, the encoders give what they hold (an encoder that looks
    // ahead holds a second or more), within a deadline so that Abort ends soon.
    bool FlushEncoders()
    {
        const auto deadline = std::chrono::steady_clock::now() + kFlushTime;
        return EveryRoute([&](StreamRoute& route) { return route.FlushEncoderBy(deadline); });
    }

    bool OpenWaitingRoutes()
    {
        return EveryRoute([](StreamRoute& route) { return route.OpenWithoutFrame(); });
    }

    void HaltRoutes()
    {
        for (const auto& route : m_routes)
            if (route)
                route->Halt();
    }

    bool AnyVideoWritten() const
    {
        return std::any_of(m_routes.begin(), m_routes.end(), [&](const auto& route) {
            return route && route->IsVideo() && m_mux.PacketsWritten(route->OutputIndex()) > 0;
        });
    }

    const GraphJob& m_job;
    AVFormatContext* m_format;
    const std::atomic<bool>& m_stop;
    std::atomic<int64_t>& m_position;
    FailureNote& m_failure;
    const RunSetup m_setup;
    OutputMux m_mux;
    std::vector<std::unique_ptr<StreamRoute>> m_routes; // by source stream; null: not routed
    std::optional<Timeline> m_timeline;
};

// The route whose encoder is asked for a file size; -1 when none is.
int TargetSizeRoute(const GraphJob& job)
{
    for (size_t i = 0; i < job.routes.size(); ++i) {
        const RouteRequest& request = job.routes[i];
        if (AsksForTargetSize(request.encoder, request.options))
            return static_cast<int>(i);
    }
    return -1;
}

// The job as pass 1 or 2 of its route at index: the encoder's options and plan for the pass.
GraphJob PassJob(const GraphJob& job, size_t index, int pass, int64_t bitRate,
                 const std::shared_ptr<TwoPassLog>& log)
{
    GraphJob passJob = job;
    RouteRequest& route = passJob.routes[index];
    route.options = PassOptions(route.encoder, job.routes[index].options, pass, bitRate, *log);
    route.plan.pass = pass;
    route.plan.passLog = log;
    return passJob;
}

// "12.3 MB", or "850 kB" below a megabyte.
std::string Megabytes(int64_t bytes)
{
    char text[32];
    if (bytes < 1'000'000)
        std::snprintf(text, sizeof text, "%.0f kB", static_cast<double>(bytes) / 1e3);
    else
        std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / 1e6);
    return text;
}

// Analysis, then the file at the bit rate that fills the size asked for.
// A stop in the analysis leaves the old output as it was.
long RunTwoPasses(const GraphJob& job, size_t index, const std::atomic<bool>& stop,
                  std::atomic<int64_t>& positionHns, FailureNote& failure)
{
    const auto log = std::make_shared<TwoPassLog>();
    const int64_t target = TargetBytes(job.routes[index].options);
    const int64_t durationHns = job.source->DurationHns();
    // The first pass's rate only steers its analysis: the size over the length.
    const double seconds = durationHns > 0 ? static_cast<double>(durationHns) / 1e7 : 60;
    const auto firstRate = static_cast<int64_t>(static_cast<double>(target) * 8 / seconds);
    PassCount count;
    {
        // Its encoders are closed before the second pass opens: x264 writes
        // its statistics out as it closes.
        const GraphJob first = PassJob(job, index, 1, firstRate, log);
        JobRun analysis(first, stop, positionHns, failure, {true, false, 0, 2});
        if (const long ended = analysis.Run(); ended != EC_COMPLETE)
            return ended;
        count = analysis.Count();
    }
    const std::optional<int64_t> rate = VideoBitRateFor(target, count);
    if (!rate) {
        failure.Note("The target size of " + Megabytes(target) +
                     " is too small for this source: its sound and the AVI file's own data "
                     "take " +
                     Megabytes(count.otherBytes) + " and more");
        return EC_ERRORABORT;
    }
    // FFmpeg's MPEG encoders fail (and crash as they close) when even their
    // coarsest quantiser cannot keep to the rate: that is said beforehand.
    const double smallest = SmallestPictureBytes(log->Stats());
    if (smallest > 0 && static_cast<double>(*rate) / 8 * count.pictureSeconds < smallest * 1.1) {
        failure.Note("The target size of " + Megabytes(target) + " is too small for this " +
                     "source with the encoder " + job.routes[index].encoder->name +
                     ": its pictures take " + Megabytes(std::llround(smallest * 1.1)) +
                     " or more at its coarsest quantiser");
        return EC_ERRORABORT;
    }
    std::string opened;
    GraphJob second = PassJob(job, index, 2, *rate, log);
    second.source = SourceFilter::Open(job.source->Path(), opened);
    if (!second.source) {
        failure.Note(opened);
        return EC_ERRORABORT;
    }
    return JobRun(second, stop, positionHns, failure, {false, true, durationHns / 2, 2}).Run();
}

} // namespace

long RunGraphJob(const GraphJob& job, const std::atomic<bool>& stop,
                 std::atomic<int64_t>& positionHns, FailureNote& failure)
{
    if (!job.source) {
        failure.Note("No source file could be opened");
        return EC_ERRORABORT;
    }
    if (const int route = TargetSizeRoute(job); route >= 0)
        return RunTwoPasses(job, static_cast<size_t>(route), stop, positionHns, failure);
    JobRun run(job, stop, positionHns, failure);
    return run.Run();
}

} // namespace calvex::media::ffmpeg
