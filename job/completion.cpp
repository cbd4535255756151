#include "job/completion.h"

#include "job/progress.h"
#include "res/strings.h"

namespace calvex::job {

JobCompletion::JobCompletion(IJobWindow& window, IGraphEnd& graph, const JobState& state)
    : m_window(window), m_graph(graph), m_state(state)
{
}

void JobCompletion::PollAndFinish(media::IMediaEvent& event, media::IMediaSeeking& seeking)
{
    int64_t duration = 0;
    int64_t position = 0;
    seeking.GetDuration(duration);
    long eventCode = 0;
    while (event.WaitForCompletion(kPollIntervalMs, eventCode) == media::WaitResult::TimedOut) {
        seeking.GetCurrentPosition(position);
        m_window.SetProgressPos(ClampProgress(ProgressPercent(position, duration)));
    }
    Finish(eventCode);
}

void JobCompletion::WaitAndEnd(media::IMediaEvent& event)
{
    long eventCode = 0;
    event.WaitForCompletion(media::INFINITE_WAIT, eventCode);
    CommonEnd();
}

void JobCompletion::Finish(long eventCode)
{
    m_window.SetProgressPos(100);
    ReportOutcome(eventCode);
    m_graph.ReleaseMediaSeeking();
    CommonEnd();
}

void JobCompletion::ReportOutcome(long eventCode)
{
    // Compared as unsigned, so negative codes fall under "any other".
    switch (static_cast<unsigned long>(eventCode)) {
    case media::EC_NONE:
        m_window.MessageBox(strings::kOutcomeTimeOut);
        m_window.EnableButton(JobButton::Convert, true);
        ShowEndedStatus(strings::kOutcomeTimeOut);
        break;
    case media::EC_COMPLETE:
        m_window.MessageBox(strings::kOutcomeComplete);
        m_graph.StopGraph();
        EnableEndedButtons();
        m_window.SetStatus(strings::kStatusCompleted);
        m_window.UpdateData(false);
        break;
    case media::EC_USERABORT:
        m_window.MessageBox(strings::kOutcomeUserAbort);
        ShowEndedStatus(strings::kOutcomeUserAbort);
        break;
    case media::EC_ERRORABORT:
        m_window.MessageBox(strings::kOutcomeErrorAbort);
        ShowEndedStatus(strings::kOutcomeErrorAbort);
        break;
    default:
        break;
    }
}

void JobCompletion::ShowEndedStatus(const char* text)
{
    // The status line must not go on saying that the job runs; an Abort
    // keeps its own text.
    if (m_state.abortPressed)
        return;
    m_window.SetStatus(text);
    m_window.UpdateData(false);
}

void JobCompletion::CommonEnd()
{
    m_graph.StopGraph();
    m_graph.ResetGraphObjects();
    EnableEndedButtons();
}

void JobCompletion::EnableEndedButtons()
{
    m_window.EnableButton(JobButton::Abort, false);
    m_window.EnableButton(JobButton::Convert, true);
    m_window.EnableButton(JobButton::Quit, true);
    // Every ended job leaves the compressors configurable again.
    m_window.EnableButton(JobButton::VideoProperties, true);
    m_window.EnableButton(JobButton::AudioProperties, true);
}

} // namespace calvex::job
