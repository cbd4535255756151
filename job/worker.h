// SPDX-License-Identifier: GPL-2.0-or-later
// One conversion job on a worker thread: builds the graph, runs it, reports
// progress and the outcome, and resets the slots for the next job.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "job/front_end.h"
#include "job/job_slots.h"
#include "job/settings.h"
#include "media/engine.h"

namespace calvex::job {

struct WorkerContext {
    media::IMediaEngine& engine;
    IJobFrontEnd& frontEnd;
    ICompressorBinder& binder;
    JobSlots& slots;
    ConversionSettings settings;
};

// Builds, runs and ends one job.
void RunConversion(WorkerContext& context);

// Sets the bar to 0, releases the job's graph objects and binds fresh compressors.
void ResetGraphObjects(WorkerContext& context);

// The worker thread's entry: runs the job and returns 0.
unsigned ConvertThreadProc(WorkerContext* context);

// Ends a job that a fault (an exception) broke off as every failed job ends:
// the error's outcome with fault in its reason, the graph stopped and
// released, fresh compressors, the front end in its ended state.
void EndAfterFault(WorkerContext& context, const std::string& fault);

// Owns the worker thread of the current job. At most one runs at a time.
class ConversionWorker {
public:
    ConversionWorker(media::IMediaEngine& engine, IJobFrontEnd& frontEnd, ICompressorBinder& binder,
                     JobSlots& slots);
    ~ConversionWorker();
    ConversionWorker(const ConversionWorker&) = delete;
    ConversionWorker& operator=(const ConversionWorker&) = delete;

    // Starts a job; a previous worker must have ended (see IsRunning, Join).
    void Start(const ConversionSettings& settings);
    // True from Start until the job's last step is done.
    bool IsRunning() const { return m_running; }
    // Waits for the thread; the caller must not hold up the worker's calls.
    void Join();
    // Called on the worker thread as the job ends, after its last step.
    void SetOnFinished(std::function<void()> onFinished) { m_onFinished = std::move(onFinished); }

private:
    media::IMediaEngine& m_engine;
    IJobFrontEnd& m_frontEnd;
    ICompressorBinder& m_binder;
    JobSlots& m_slots;
    std::function<void()> m_onFinished;
    std::atomic<bool> m_running{false};
    std::thread m_thread;
};

} // namespace calvex::job
