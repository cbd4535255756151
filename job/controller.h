// The Convert, Abort and keep-audio actions of the main window.
#pragma once

#include "job/platform.h"
#include "job/state.h"
#include "job/window.h"

namespace calvex::job {

class JobController {
public:
    JobController(IJobWindow& window, IJobPlatform& platform, JobState& state);

    void OnConvert();
    void OnAbort();
    void OnKeepAudioClicked();

private:
    // Shows the refusal and returns false when the paths cannot make a job.
    bool CheckPaths(const ConversionSettings& settings);

    IJobWindow& m_window;
    IJobPlatform& m_platform;
    JobState& m_state;
};

} // namespace calvex::job
