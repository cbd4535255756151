// SPDX-License-Identifier: GPL-2.0-or-later
// A scriptable engine for the job and worker tests: each object records the
// calls made on it and answers as the test has set it up.
#pragma once

#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "media/encoder_settings.h"
#include "media/engine.h"

namespace calvex::test {

// A compressor, source or multiplexer.
class FakeFilter : public media::IBaseFilter {
public:
    explicit FakeFilter(std::string id) : id(std::move(id)) {}
    std::shared_ptr<media::ISpecifyPropertyPages> QueryPropertyPages() override { return pages; }
    std::shared_ptr<media::ICodecDialog> QueryCodecDialog() override { return nullptr; }
    std::shared_ptr<media::IMediaSeeking> QueryMediaSeeking() override { return seeking; }
    int CountStreams(media::StreamKind kind) const override
    {
        return kind == media::StreamKind::Audio ? audioStreams : 1;
    }

    std::string id;
    std::shared_ptr<media::ISpecifyPropertyPages> pages;
    std::shared_ptr<media::IMediaSeeking> seeking;
    int audioStreams = 1;
};

// A length of nothing and no position to read: a job shows no progress on the way.
class FakeSeeking : public media::IMediaSeeking {
public:
    bool GetDuration(int64_t& value) override
    {
        value = 0;
        return true;
    }
    bool GetCurrentPosition(int64_t&) override { return false; }
};

struct GraphScript {
    int ticks = 0;                  // waits that time out before the graph ends
    long endCode = 1;               // the event code of its end
    std::string endReason;          // and the reason it gives
    bool runs = true;               // Run's answer
    bool blockUntilStopped = false; // waits time out (after a pause) until Stop
    std::string faultInWait;        // when set, the wait throws it (a fault of the engine)
};

class FakeGraph : public media::IGraphBuilder,
                  public media::IMediaControl,
                  public media::IMediaEvent,
                  public std::enable_shared_from_this<FakeGraph> {
public:
    explicit FakeGraph(GraphScript script) : script(script) {}

    media::FilterPtr AddSourceFilter(const std::filesystem::path& path,
                                     const std::string& name) override;
    bool AddFilter(const media::FilterPtr& filter, const std::string& name) override;
    std::shared_ptr<media::IMediaControl> QueryMediaControl() override;
    std::shared_ptr<media::IMediaEvent> QueryMediaEvent() override;
    bool Run() override;
    void Stop() override;
    media::WaitResult WaitForCompletion(uint32_t timeoutMs, long& eventCode) override;
    std::string GetEndReason() override { return script.endReason; }

    GraphScript script;
    std::shared_ptr<FakeFilter> source; // what AddSourceFilter answers (may be null)
    bool controlOffered = true;
    int runCount = 0;
    int stopCount = 0;

private:
    std::mutex m_mutex;
    std::condition_variable m_stopped;
    bool m_isStopped = false;
};

class FakeBuilder : public media::ICaptureGraphBuilder {
public:
    FakeBuilder(std::shared_ptr<FakeGraph> graph, std::shared_ptr<FakeFilter> mux)
        : graph(std::move(graph)), mux(std::move(mux))
    {
    }
    media::FilterPtr SetOutputFileName(const std::filesystem::path& path) override;
    media::GraphPtr GetFiltergraph() override { return graph; }
    bool RenderStream(const media::FilterPtr& source, const media::FilterPtr& via,
                      const media::FilterPtr& sink) override;

    std::shared_ptr<FakeGraph> graph;
    std::shared_ptr<FakeFilter> mux;
    bool renderAudio = true; // answer for the second RenderStream
    int renders = 0;
};

class FakeMoniker : public media::IMoniker {
public:
    FakeMoniker(std::string name, std::string key) : name(std::move(name)), key(std::move(key)) {}
    std::string FriendlyName() const override { return name; }
    std::string Key() const override { return key; }
    media::FilterPtr BindToObject() override;

    std::string name, key;
    bool bindable = true;
    int binds = 0;
};

class FakeDevEnum : public media::ICreateDevEnum {
public:
    std::vector<media::MonikerPtr> CreateClassEnumerator(media::Category category) override
    {
        return category == media::Category::VideoCompressor ? video : audio;
    }
    std::vector<media::MonikerPtr> video, audio;
};

class FakeEngine : public media::IMediaEngine {
public:
    FakeEngine();
    std::shared_ptr<media::ICreateDevEnum> CreateDeviceEnumerator() override;
    std::shared_ptr<media::ICaptureGraphBuilder> CreateCaptureGraphBuilder() override;

    // Makes the builder, graph, source and mux of the next job.
    std::shared_ptr<FakeBuilder> PrepareJob(GraphScript script = {});

    std::shared_ptr<FakeDevEnum> devices;
    bool devicesOffered = true;
    std::shared_ptr<FakeBuilder> nextBuilder; // taken by CreateCaptureGraphBuilder
    std::vector<std::shared_ptr<FakeBuilder>> builders;
};

std::string IdOf(const media::FilterPtr& filter);

} // namespace calvex::test
