// What starting and aborting a job needs beyond the window.
#pragma once

#include "job/settings.h"

namespace calvex::job {

class IJobPlatform {
public:
    virtual ~IJobPlatform() = default;
    virtual void DeleteFile(const std::string& path) = 0;
    // Waits until no worker runs any more, still handling the window's events.
    // False when a job cannot start now (e.g. a wait is already under way).
    virtual bool WaitForIdleWorker() = 0;
    // Starts the worker of a new job with its own copy of the settings.
    virtual void StartWorker(const ConversionSettings& settings) = 0;
    // Stops the current job's graph; a job whose graph is not built yet will
    // not run it.
    virtual void StopGraph() = 0;
};

} // namespace calvex::job
