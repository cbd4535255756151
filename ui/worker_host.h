// What a job needs of the platform, for the main window: deleting the old
// output, the worker thread, stopping the graph, and waiting for the worker
// while the window keeps handling its events.
#pragma once

#include <functional>

#include "job/platform.h"
#include "job/state.h"
#include "media/worker.h"

class wxEvtHandler;

namespace calvex::ui {

class WorkerHost : public job::IJobPlatform {
public:
    // uiHandler receives the worker's wake-up call; it must outlive the worker.
    WorkerHost(media::IMediaEngine& engine, job::IJobWindow& window,
               media::ICompressorBinder& binder, job::JobState& state, wxEvtHandler& uiHandler);

    void DeleteFile(const std::string& path) override;
    // Runs a nested event loop until the worker has ended, then joins it.
    // False while another wait is under way, or once no job may start any more.
    bool WaitForIdleWorker() override;
    void StartWorker(const job::ConversionSettings& settings) override;
    void StopGraph() override;

    bool IsWorkerRunning() const { return m_worker.IsRunning(); }
    // From now on no job starts: the window is about to end.
    void RefuseNewJobs() { m_refuseNewJobs = true; }
    // Joins the worker's thread once the worker has ended; never waits for a job.
    void JoinEndedWorker();
    // Called on the UI thread after each worker has ended.
    void SetOnWorkerEnded(std::function<void()> onWorkerEnded)
    {
        m_onWorkerEnded = std::move(onWorkerEnded);
    }

private:
    void HandleEventsUntilWorkerEnds();

    wxEvtHandler& m_uiHandler;
    std::function<void()> m_onWorkerEnded;
    media::ConversionWorker m_worker;
    bool m_waiting = false;
    bool m_refuseNewJobs = false;
};

} // namespace calvex::ui
