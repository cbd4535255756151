// One conversion job on a worker thread: builds the graph, runs it, reports
// progress and the outcome, and resets the slots for the next job.
#pragma once

#include <atomic>
#include <functional>
#include <thread>

#include "job/settings.h"
#include "job/state.h"
#include "job/window.h"
#include "media/catalogue.h"
#include "media/engine.h"

namespace calvex::media {

struct WorkerContext {
    IMediaEngine& engine;
    job::IJobWindow& window;
    ICompressorBinder& binder;
    job::JobState& state;
    job::ConversionSettings settings;
};

// Builds, runs and ends one job.
void RunConversion(WorkerContext& context);

// Releases the job's graph objects and binds fresh compressors.
void ResetGraphObjects(job::IJobWindow& window, ICompressorBinder& binder);

// The worker thread's entry: runs the job and returns 0.
unsigned ConvertThreadProc(WorkerContext* context);

// Owns the worker thread of the current job. At most one runs at a time.
class ConversionWorker {
public:
    ConversionWorker(IMediaEngine& engine, job::IJobWindow& window, ICompressorBinder& binder,
                     job::JobState& state);
    ~ConversionWorker();
    ConversionWorker(const ConversionWorker&) = delete;
    ConversionWorker& operator=(const ConversionWorker&) = delete;

    // Starts a job; a previous worker must have ended (see IsRunning, Join).
    void Start(const job::ConversionSettings& settings);
    // True from Start until the job's last step is done.
    bool IsRunning() const { return m_running; }
    // Waits for the thread; the caller must not hold up the worker's calls.
    void Join();
    // Called on the worker thread as the job ends, after its last step.
    void SetOnFinished(std::function<void()> onFinished) { m_onFinished = std::move(onFinished); }

private:
    IMediaEngine& m_engine;
    job::IJobWindow& m_window;
    ICompressorBinder& m_binder;
    job::JobState& m_state;
    std::function<void()> m_onFinished;
    std::atomic<bool> m_running{false};
    std::thread m_thread;
};

} // namespace calvex::media
