// SPDX-License-Identifier: GPL-2.0-or-later
// The reporting side of a running job: the once-a-second polling, the
// outcome of each event code and the common end of every job. Runs on the
// worker thread.
#pragma once

#include <cstdint>

#include "job/worker.h"

namespace calvex::job {

inline constexpr uint32_t kPollIntervalMs = 1000;

class JobCompletion {
public:
    explicit JobCompletion(WorkerContext& context);

    // Polls the running graph once a second, then reports its end.
    void PollAndFinish(media::IMediaEvent& event, media::IMediaSeeking& seeking);
    // The run without position information: wait, then the common end only.
    void WaitAndEnd(media::IMediaEvent& event);
    // Reports an end with this event code and reason (bar at 100, outcome,
    // common end).
    void Finish(long eventCode, const std::string& reason);

private:
    void ReportOutcome(long eventCode, const std::string& reason);
    void CommonEnd(long eventCode, const std::string& reason);

    WorkerContext& m_context;
    IJobFrontEnd& m_frontEnd;
    JobSlots& m_slots;
    int64_t m_durationHns = 0;
    int64_t m_positionHns = 0;
};

} // namespace calvex::job
