#include "job/controller.h"

#include "res/strings.h"

namespace calvex::job {

JobController::JobController(IJobWindow& window, IJobPlatform& platform, JobState& state)
    : m_window(window), m_platform(platform), m_state(state)
{
}

bool JobController::CheckPaths(const ConversionSettings& settings)
{
    if (IsEmptyPath(settings.m_strSourceFile) || IsEmptyPath(settings.m_strOutputFile)) {
        m_window.MessageBox(strings::kSelectFilesFirst);
        return false;
    }
    // Another spelling of the source would have the source deleted below.
    if (IsSameFile(settings.m_strSourceFile, settings.m_strOutputFile)) {
        m_window.MessageBox(strings::kSourceIsOutput);
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
    if (!CheckPaths(m_window.GetSettings()))
        return;

    m_window.UpdateData(true);
    const ConversionSettings settings = m_window.GetSettings();
    m_platform.DeleteFile(settings.m_strOutputFile);
    m_window.EnableButton(JobButton::Quit, false);
    m_window.SetStatus(strings::kStatusStarted);
    m_state.abortPressed = false;
    m_platform.StartWorker(settings);
    m_window.EnableButton(JobButton::Convert, false);
    m_window.EnableButton(JobButton::Abort, true);
    m_window.EnableButton(JobButton::VideoProperties, false);
    m_window.EnableButton(JobButton::AudioProperties, false);
    m_window.UpdateData(false);
}

void JobController::OnAbort()
{
    m_state.abortPressed = true;
    m_platform.StopGraph();
    m_window.SetStatus(strings::kStatusAbortPressed);
    m_window.EnableButton(JobButton::Abort, false);
    m_window.EnableButton(JobButton::Convert, true);
    m_window.EnableButton(JobButton::VideoProperties, true);
    m_window.EnableButton(JobButton::AudioProperties, true);
    m_window.UpdateData(false);
}

void JobController::OnKeepAudioClicked()
{
    if (!m_window.IsKeepAudioChecked())
        m_window.MessageBox(strings::kAudioCaution);
}

} // namespace calvex::job
