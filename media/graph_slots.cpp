#include "media/graph_slots.h"

#include <mutex>

namespace calvex::media {

Slot<ICaptureGraphBuilder> g_pCaptureBuilder;
Slot<IGraphBuilder> g_pGraph;
Slot<IBaseFilter> g_pSourceFilter;
Slot<IBaseFilter> g_pMux;
Slot<IMediaControl> g_pMediaControl;
Slot<IMediaEvent> g_pMediaEvent;
Slot<IMediaSeeking> g_pMediaSeeking;

namespace {

// Orders a stop request against the start of the graph, so that an Abort
// either reaches the running graph or keeps it from running at all.
std::mutex g_runMutex;
bool g_stopRequested = false;

} // namespace

void BeginGraphJob()
{
    std::lock_guard lock(g_runMutex);
    g_stopRequested = false;
}

void RequestGraphStop()
{
    std::lock_guard lock(g_runMutex);
    g_stopRequested = true;
    if (const auto control = g_pMediaControl.Get())
        control->Stop();
}

bool RunGraphUnlessStopped()
{
    std::lock_guard lock(g_runMutex);
    const auto control = g_pMediaControl.Get();
    if (g_stopRequested || !control)
        return false;
    return control->Run();
}

bool IsGraphStopRequested()
{
    std::lock_guard lock(g_runMutex);
    return g_stopRequested;
}

} // namespace calvex::media
