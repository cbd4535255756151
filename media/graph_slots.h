// The objects of the current job's graph, shared by the window's thread and
// the worker. Each slot hands out its own reference, so no call goes through
// an object that the other thread has just released.
#pragma once

#include "media/engine.h"
#include "media/slot.h"

namespace calvex::media {

extern Slot<ICaptureGraphBuilder> g_pCaptureBuilder;
extern Slot<IGraphBuilder> g_pGraph;
extern Slot<IBaseFilter> g_pSourceFilter;
extern Slot<IBaseFilter> g_pMux;
extern Slot<IMediaControl> g_pMediaControl;
extern Slot<IMediaEvent> g_pMediaEvent;
extern Slot<IMediaSeeking> g_pMediaSeeking;

// Clears the stop request of the job before: called as a new job starts.
void BeginGraphJob();

// Stops the current job's graph. Before the graph runs, the request is kept
// so that the job never runs it.
void RequestGraphStop();

// Runs the graph in the media control slot unless a stop was requested.
// False when it was not started.
bool RunGraphUnlessStopped();

// True once the current job was asked to stop.
bool IsGraphStopRequested();

} // namespace calvex::media
