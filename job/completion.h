// The reporting side of a running job: the once-a-second polling, the
// outcome of each event code and the common end of every job. Runs on the
// worker thread.
#pragma once

#include "job/state.h"
#include "job/window.h"
#include "media/engine.h"

namespace calvex::job {

inline constexpr uint32_t kPollIntervalMs = 1000;

// What the end of a job needs of the worker's graph slots.
class IGraphEnd {
public:
    virtual ~IGraphEnd() = default;
    // Stops the graph through the media control slot, if it is filled.
    virtual void StopGraph() = 0;
    // Releases the reference held in the media seeking slot.
    virtual void ReleaseMediaSeeking() = 0;
    // Sets the bar to 0, releases the job's graph objects, binds new compressors.
    virtual void ResetGraphObjects() = 0;
};

class JobCompletion {
public:
    JobCompletion(IJobWindow& window, IGraphEnd& graph, const JobState& state);

    // Polls the running graph once a second, then reports its end.
    void PollAndFinish(media::IMediaEvent& event, media::IMediaSeeking& seeking);
    // The run without position information: wait, then the common end only.
    void WaitAndEnd(media::IMediaEvent& event);
    // Reports an end with this event code (bar at 100, outcome, common end).
    void Finish(long eventCode);

private:
    void ReportOutcome(long eventCode);
    void ShowEndedStatus(const char* text);
    void CommonEnd();
    void EnableEndedButtons();

    IJobWindow& m_window;
    IGraphEnd& m_graph;
    const JobState& m_state;
};

} // namespace calvex::job
