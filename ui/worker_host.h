// SPDX-License-Identifier: GPL-2.0-or-later
// The job's worker for the main window: waiting for it goes on handling the
// window's events, and the window learns on its own thread when it ended.
#pragma once

#include <functional>

#include "job/platform.h"

class wxEvtHandler;

namespace calvex::ui {

class WorkerHost : public job::JobRunner {
public:
    // uiHandler receives the worker's wake-up call; it must outlive the worker.
    WorkerHost(media::IMediaEngine& engine, job::IJobFrontEnd& frontEnd,
               job::ICompressorBinder& binder, job::JobSlots& slots, wxEvtHandler& uiHandler);

    // Runs a nested event loop until the worker has ended, then joins it.
    // False while another wait is under way, or once no job may start any more.
    bool WaitForIdleWorker() override;

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
    bool m_waiting = false;
    bool m_refuseNewJobs = false;
};

} // namespace calvex::ui
