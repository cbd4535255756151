// SPDX-License-Identifier: GPL-2.0-or-later
// Which of the window's job buttons are usable in each phase of a job.
#pragma once

namespace calvex::job {

enum class JobPhase {
    Idle,         // no job: the window as opened, and after every job's end
    Running,      // Convert accepted; the worker runs
    AbortPressed, // Abort pressed; the worker is still ending the job
};

struct ControlState {
    bool convert;
    bool abort;
    bool quit;
    bool videoProperties;
    bool audioProperties;
};

// Quit stays off after an Abort until the worker has ended the job.
constexpr ControlState ControlStateOf(JobPhase phase)
{
    switch (phase) {
    case JobPhase::Running:
        return {false, true, false, false, false};
    case JobPhase::AbortPressed:
        return {true, false, false, true, true};
    case JobPhase::Idle:
        break;
    }
    return {true, false, true, true, true};
}

} // namespace calvex::job
