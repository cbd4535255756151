// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/worker_host.h"

#include <wx/app.h>
#include <wx/evtloop.h>

#include "ui/modal_scope.h"

namespace calvex::ui {

namespace {

// Longest pause between two looks at the worker, should a wake-up be missed.
constexpr unsigned long kLongestPauseMs = 200;

} // namespace

WorkerHost::WorkerHost(media::IMediaEngine& engine, job::IJobFrontEnd& frontEnd,
                       job::ICompressorBinder& binder, job::JobSlots& slots,
                       wxEvtHandler& uiHandler)
    : JobRunner(engine, frontEnd, binder, slots), m_uiHandler(uiHandler)
{
    // Wakes the waiting loop of the UI thread and tells the window.
    m_worker.SetOnFinished([this] {
        m_uiHandler.CallAfter([this] {
            if (m_onWorkerEnded)
                m_onWorkerEnded();
        });
    });
}

bool WorkerHost::WaitForIdleWorker()
{
    if (m_waiting)
        return false;
    m_waiting = true;
    HandleEventsUntilWorkerEnds();
    m_waiting = false;
    m_worker.Join();
    return !m_refuseNewJobs;
}

void WorkerHost::JoinEndedWorker()
{
    if (!m_worker.IsRunning())
        m_worker.Join();
}

void WorkerHost::HandleEventsUntilWorkerEnds()
{
    if (!m_worker.IsRunning())
        return;
    // The worker hands its window operations (and its outcome box) to this
    // thread and waits, so this thread goes on handling events meanwhile.
    const ModalScope modal;
    wxGUIEventLoop loop;
    wxEventLoopActivator activate(&loop);
    while (m_worker.IsRunning()) {
        loop.DispatchTimeout(kLongestPauseMs);
        if (wxTheApp)
            wxTheApp->ProcessPendingEvents();
    }
}

} // namespace calvex::ui
