// SPDX-License-Identifier: GPL-2.0-or-later
// The program's filter graph on FFmpeg: one source, the streams rendered
// from it, and the AVI multiplexer; it runs on a thread of its own.
#pragma once

#include "media/engine.h"
#include "media/ffmpeg/graph_runner.h"

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace calvex::media::ffmpeg {

// What the multiplexer's seeking reports, shared with the running thread.
struct MuxProgress {
    std::atomic<int64_t> durationHns{0};
    std::atomic<int64_t> positionHns{0};
};

// The AVI multiplexer as a filter: its seeking interface reports the progress.
class MuxFilter : public IBaseFilter {
public:
    explicit MuxFilter(std::shared_ptr<MuxProgress> progress) : m_progress(std::move(progress)) {}
    std::shared_ptr<IMediaSeeking> QueryMediaSeeking() override;

private:
    std::shared_ptr<MuxProgress> m_progress;
};

class FilterGraph : public IGraphBuilder,
                    public IMediaControl,
                    public IMediaEvent,
                    public std::enable_shared_from_this<FilterGraph> {
public:
    explicit FilterGraph(std::filesystem::path output);
    ~FilterGraph() override;
    FilterGraph(const FilterGraph&) = delete;
    FilterGraph& operator=(const FilterGraph&) = delete;

    FilterPtr Mux() const { return m_mux; }
    // Routes the next stream of source through via (or unchanged) into the mux.
    bool Render(const FilterPtr& source, const FilterPtr& via);

    FilterPtr AddSourceFilter(const std::filesystem::path& path, const std::string& name) override;
    bool AddFilter(const FilterPtr& filter, const std::string& name) override;
    std::shared_ptr<IMediaControl> QueryMediaControl() override { return shared_from_this(); }
    std::shared_ptr<IMediaEvent> QueryMediaEvent() override { return shared_from_this(); }

    bool Run() override;
    void Stop() override;
    bool ReplacesOutputItself() const override;
    WaitResult WaitForCompletion(uint32_t timeoutMs, long& eventCode) override;
    std::string GetEndReason() override;

private:
    bool RenderCopy(const std::shared_ptr<SourceFilter>& source);
    bool RenderEncoded(const std::shared_ptr<SourceFilter>& source, const FilterPtr& via);
    void Finish(long eventCode);

    const std::filesystem::path m_output;
    const std::shared_ptr<MuxProgress> m_progress = std::make_shared<MuxProgress>();
    const FilterPtr m_mux;

    mutable std::mutex m_mutex;
    std::condition_variable m_ended;
    std::vector<FilterPtr> m_filters;
    std::shared_ptr<SourceFilter> m_routedSource;
    std::vector<RouteRequest> m_routes;
    bool m_started = false;
    bool m_finished = false;
    long m_eventCode = EC_NONE;
    FailureNote m_failure;
    std::atomic<bool> m_stopRequested{false};
    std::thread m_thread;
};

} // namespace calvex::media::ffmpeg
