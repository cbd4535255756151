// SPDX-License-Identifier: GPL-2.0-or-later
#include "job/controller.h"

#include "res/strings.h"

namespace calvex::job {

JobController::JobController(IJobFrontEnd& frontEnd, IJobPlatform& platform)
    : m_frontEnd(frontEnd), m_platform(platform)
{
}

bool JobController::CheckPaths(const ConversionSettings& settings)
{
    if (IsEmptyPath(settings.m_strSourceFile) || IsEmptyPath(settings.m_strOutputFile)) {
        m_frontEnd.MessageBox(strings::kSelectFilesFirst);
        return false;
    }
    // Another spelling of the source would have the source deleted by the job.
    if (IsSameFile(settings.m_strSourceFile, settings.m_strOutputFile)) {
        m_frontEnd.MessageBox(strings::kSourceIsOutput);
        return false;
    }
    // A FIFO, a device or a folder is no file to replace.
    if (!IsReplaceableOutput(settings.m_strOutputFile)) {
        m_frontEnd.MessageBox(strings::kOutputNotAFile);
        return false;
    }
    return true;
}

void JobController::OnConvert()
{
    // All jobs share the graph and compressor slots: a job still ending
    // after Abort must be gone before the next one starts.
    if (!m_platform.WaitForIdleWorker())
        return;
    if (!CheckPaths(m_frontEnd.GetSettings()))
        return;

    // The old output is deleted by the worker, once the job can start.
    const ConversionSettings settings = m_frontEnd.TakeSettings();
    m_frontEnd.ShowControlState(JobPhase::Running);
    m_frontEnd.ShowStatusWithSettings(strings::kStatusStarted);
    m_platform.StartWorker(settings);
}

void JobController::OnAbort()
{
    m_platform.StopGraph();
    m_frontEnd.ShowStatusWithSettings(strings::kStatusAbortPressed);
    m_frontEnd.ShowControlState(JobPhase::AbortPressed);
}

void JobController::OnKeepAudioClicked()
{
    if (!m_frontEnd.IsKeepAudioChecked())
        m_frontEnd.MessageBox(strings::kAudioCaution);
}

} // namespace calvex::job
