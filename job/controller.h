// SPDX-License-Identifier: GPL-2.0-or-later
// The Convert, Abort and keep-audio actions of the main window.
#pragma once

#include "job/front_end.h"
#include "job/platform.h"

namespace calvex::job {

class JobController {
public:
    JobController(IJobFrontEnd& frontEnd, IJobPlatform& platform);

    void OnConvert();
    void OnAbort();
    void OnKeepAudioClicked();

private:
    // Shows the refusal and returns false when the paths cannot make a job.
    bool CheckPaths(const ConversionSettings& settings);

    IJobFrontEnd& m_frontEnd;
    IJobPlatform& m_platform;
};

} // namespace calvex::job
