// SPDX-License-Identifier: GPL-2.0-or-later
// What a job needs of its front end: the main window, or the terminal of
// the headless converter. The worker's calls reach a window's UI thread
// synchronously.
#pragma once

#include <cstdint>
#include <string>

#include "job/control_state.h"
#include "job/outcome.h"
#include "job/settings.h"

namespace calvex::job {

struct JobProgress {
    int32_t percent = 0;     // what the bar shows, 0 to 100
    int64_t positionHns = 0; // time converted, in 100-nanosecond units
    int64_t durationHns = 0; // the source's length; 0 when unknown
    bool end = false;        // the job has ended: the bar stands at 100
};

class IJobFrontEnd {
public:
    virtual ~IJobFrontEnd() = default;
    // The job settings as the members hold them now.
    virtual ConversionSettings GetSettings() = 0;
    // Takes the controls' values into the members, then returns them.
    virtual ConversionSettings TakeSettings() = 0;
    virtual bool IsKeepAudioChecked() = 0;
    // Enables the job buttons as the phase's row of the table says.
    virtual void ShowControlState(JobPhase phase) = 0;
    // Sets the status line alone: the other controls keep what the user set.
    virtual void ShowStatus(const std::string& status) = 0;
    // Sets the status line, then shows every member again (members to
    // controls): a control the user changed since its member was taken shows
    // the member's value again.
    virtual void ShowStatusWithSettings(const std::string& status) = 0;
    // An OK message box; returns once the user has dismissed it.
    virtual void MessageBox(const std::string& text) = 0;
    // The outcome's message box, with the reason as its secondary text when
    // there is one; returns once the user has dismissed it.
    virtual void ShowOutcome(const std::string& message, const std::string& reason) = 0;
    // The progress bar's position and what it stands for.
    virtual void ShowProgress(const JobProgress& progress) = 0;
    // The job's last step: its outcome, after the window has its ended state.
    virtual void OnJobEnded(const JobOutcome& outcome) = 0;
};

// Rebinding the selected compressors, as the front end does it from
// whatever thread calls.
class ICompressorBinder {
public:
    virtual ~ICompressorBinder() = default;
    virtual void BindVideoCompressor() = 0;
    virtual void BindAudioCompressor() = 0;
};

} // namespace calvex::job
