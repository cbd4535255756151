// SPDX-License-Identifier: GPL-2.0-or-later
// What starting and aborting a job needs beyond the front end, and the one
// implementation the front ends share.
#pragma once

#include "job/front_end.h"
#include "job/job_slots.h"
#include "job/settings.h"
#include "job/worker.h"

namespace calvex::job {

class IJobPlatform {
public:
    virtual ~IJobPlatform() = default;
    // Waits until no worker runs any more, still handling the front end's
    // events. False when a job cannot start now (e.g. a wait is under way).
    virtual bool WaitForIdleWorker() = 0;
    // Starts the worker of a new job with its own copy of the settings.
    virtual void StartWorker(const ConversionSettings& settings) = 0;
    // Asks the current job to stop; a job whose graph is not built yet
    // will not run it.
    virtual void StopGraph() = 0;
};

// The worker thread and the job slots behind a front end. Waiting for the
// worker just joins it; a window overrides the wait to go on handling its
// events meanwhile.
class JobRunner : public IJobPlatform {
public:
    JobRunner(media::IMediaEngine& engine, IJobFrontEnd& frontEnd, ICompressorBinder& binder,
              JobSlots& slots);

    bool WaitForIdleWorker() override;
    void StartWorker(const ConversionSettings& settings) override;
    void StopGraph() override;

    bool IsWorkerRunning() const { return m_worker.IsRunning(); }

protected:
    ConversionWorker m_worker;
    JobSlots& m_slots;
};

} // namespace calvex::job
