// State one job shares between the window's thread and its worker.
#pragma once

#include <atomic>

namespace calvex::job {

struct JobState {
    // Abort was pressed during the current job.
    std::atomic<bool> abortPressed{false};
};

} // namespace calvex::job
