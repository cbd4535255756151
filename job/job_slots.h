// SPDX-License-Identifier: GPL-2.0-or-later
// The slots of the compressors and of the current job's graph, shared by the
// front end's thread and the worker, and the job's one stop request. Each
// slot hands out its own reference, so no call goes through an object that
// the other thread has just released.
#pragma once

#include <mutex>

#include "media/engine.h"
#include "media/slot.h"

namespace calvex::job {

class JobSlots {
public:
    // The bound compressors, rebound after every job.
    media::Slot<media::IBaseFilter> g_pVideoCompressor;
    media::Slot<media::IBaseFilter> g_pAudioCompressor;
    // The current job's graph.
    media::Slot<media::ICaptureGraphBuilder> g_pCaptureBuilder;
    media::Slot<media::IGraphBuilder> g_pGraph;
    media::Slot<media::IBaseFilter> g_pSourceFilter;
    media::Slot<media::IBaseFilter> g_pMux;
    media::Slot<media::IMediaControl> g_pMediaControl;
    media::Slot<media::IMediaEvent> g_pMediaEvent;
    media::Slot<media::IMediaSeeking> g_pMediaSeeking;

    // Clears the stop request of the job before: called as a new job starts.
    void BeginJob();
    // Asks the current job to stop. It holds until the next job begins: a
    // graph not running yet never runs, a running one is stopped.
    void RequestStop();
    bool IsStopRequested() const;
    // Runs the graph in the media control slot unless a stop was requested;
    // false when it was not started.
    bool RunGraphUnlessStopped();
    // Stops the graph through the media control slot, if it is filled.
    void StopGraph();

private:
    // Orders a stop request against the start of the graph.
    mutable std::mutex m_runMutex;
    bool m_stopRequested = false;
};

} // namespace calvex::job
