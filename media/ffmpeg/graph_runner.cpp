// SPDX-License-Identifier: GPL-2.0-or-later
#include "media/ffmpeg/graph_runner.h"

#include "media/engine.h"
#include "media/ffmpeg/avi_stream_start.h"
#include "media/ffmpeg/output_mux.h"
#include "media/ffmpeg/stream_route.h"
#include "media/ffmpeg/timeline.h"

#include <algorithm>
#include <chrono>
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

std::unique_ptr<StreamRoute> MakeRoute(const AVStream* stream, const RouteRequest& request)
{
    if (request.encoder == nullptr)
        return std::make_unique<CopyRoute>(stream);
    return std::make_unique<TranscodeRoute>(stream, request.encoder, request.plan, request.options);
}

class JobRun {
public:
    JobRun(const GraphJob& job, const std::atomic<bool>& stop, std::atomic<int64_t>& position,
           FailureNote& failure)
        : m_job(job), m_format(job.source->Format()), m_stop(stop), m_position(position),
          m_failure(failure), m_mux(failure), m_routes(m_format->nb_streams)
    {
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
        const bool converted = m_mux.Open(m_job.output) && StartRoutes() && Convert();
        const bool stopped = m_stop.load();
        HaltRoutes();
        const bool finished = m_mux.Finish(stopped) && KeepSoundDelays();
        m_position.store(m_mux.LastTimeHns());
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
        if (AnyVideoWritten()) {
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
            route = MakeRoute(stream, request);
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
            m_position.store(m_mux.LastTimeHns());
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
    OutputMux m_mux;
    std::vector<std::unique_ptr<StreamRoute>> m_routes; // by source stream; null: not routed
    std::optional<Timeline> m_timeline;
};

} // namespace

long RunGraphJob(const GraphJob& job, const std::atomic<bool>& stop,
                 std::atomic<int64_t>& positionHns, FailureNote& failure)
{
    if (!job.source) {
        failure.Note("No source file could be opened");
        return EC_ERRORABORT;
    }
    JobRun run(job, stop, positionHns, failure);
    return run.Run();
}

} // namespace calvex::media::ffmpeg
