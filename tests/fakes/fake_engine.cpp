// SPDX-License-Identifier: GPL-2.0-or-later
#include "fakes/fake_engine.h"

#include <chrono>
#include <stdexcept>
#include <utility>

namespace calvex::test {

std::string IdOf(const media::FilterPtr& filter)
{
    const auto fake = std::dynamic_pointer_cast<FakeFilter>(filter);
    return fake ? fake->id : "-";
}

media::FilterPtr FakeGraph::AddSourceFilter(const std::filesystem::path&, const std::string&)
{
    return source;
}

bool FakeGraph::AddFilter(const media::FilterPtr& filter, const std::string&)
{
    return filter != nullptr;
}

std::shared_ptr<media::IMediaControl> FakeGraph::QueryMediaControl()
{
    if (!controlOffered)
        return nullptr;
    return std::shared_ptr<media::IMediaControl>(shared_from_this(), this);
}

std::shared_ptr<media::IMediaEvent> FakeGraph::QueryMediaEvent()
{
    return std::shared_ptr<media::IMediaEvent>(shared_from_this(), this);
}

bool FakeGraph::Run()
{
    std::lock_guard lock(m_mutex);
    ++runCount;
    return script.runs;
}

void FakeGraph::Stop()
{
    std::lock_guard lock(m_mutex);
    ++stopCount;
    m_isStopped = true;
    m_stopped.notify_all();
}

media::WaitResult FakeGraph::WaitForCompletion(uint32_t timeoutMs, long& eventCode)
{
    if (!script.faultInWait.empty())
        throw std::runtime_error(script.faultInWait);
    std::unique_lock lock(m_mutex);
    if (script.blockUntilStopped) {
        // A short pause stands for the real time-out; Stop ends the wait.
        if (!m_stopped.wait_for(lock, std::chrono::milliseconds(5), [this] { return m_isStopped; }))
            return media::WaitResult::TimedOut;
        eventCode = 0;
        return media::WaitResult::Ended;
    }
    if (m_isStopped) {
        eventCode = 0;
        return media::WaitResult::Ended;
    }
    if (script.ticks > 0 && timeoutMs != media::INFINITE_WAIT) {
        --script.ticks;
        return media::WaitResult::TimedOut;
    }
    eventCode = script.endCode;
    return media::WaitResult::Ended;
}

media::FilterPtr FakeBuilder::SetOutputFileName(const std::filesystem::path&)
{
    return mux;
}

bool FakeBuilder::RenderStream(const media::FilterPtr& source, const media::FilterPtr&,
                               const media::FilterPtr& sink)
{
    ++renders;
    if (!source || !sink)
        return false;
    return renders == 1 || renderAudio;
}

media::FilterPtr FakeMoniker::BindToObject()
{
    ++binds;
    if (!bindable)
        return nullptr;
    return std::make_shared<FakeFilter>(key + "#" + std::to_string(binds));
}

FakeEngine::FakeEngine() : devices(std::make_shared<FakeDevEnum>()) {}

std::shared_ptr<media::ICreateDevEnum> FakeEngine::CreateDeviceEnumerator()
{
    return devicesOffered ? devices : nullptr;
}

std::shared_ptr<media::ICaptureGraphBuilder> FakeEngine::CreateCaptureGraphBuilder()
{
    auto builder = std::exchange(nextBuilder, nullptr);
    if (builder)
        builders.push_back(builder);
    return builder;
}

std::shared_ptr<FakeBuilder> FakeEngine::PrepareJob(GraphScript script)
{
    auto graph = std::make_shared<FakeGraph>(script);
    graph->source = std::make_shared<FakeFilter>("source");
    auto mux = std::make_shared<FakeFilter>("mux");
    mux->seeking = std::make_shared<FakeSeeking>();
    nextBuilder = std::make_shared<FakeBuilder>(graph, mux);
    return nextBuilder;
}

} // namespace calvex::test
