// SPDX-License-Identifier: GPL-2.0-or-later
#include "job/completion.h"

#include "job/progress.h"
#include "res/strings.h"

namespace calvex::job {

const char* OutcomeMessage(long eventCode)
{
    // Compared as unsigned, so negative codes fall under "any other".
    switch (static_cast<unsigned long>(eventCode)) {
    case media::EC_NONE:
        return strings::kOutcomeTimeOut;
    case media::EC_COMPLETE:
        return strings::kOutcomeComplete;
    case media::EC_USERABORT:
        return strings::kOutcomeUserAbort;
    case media::EC_ERRORABORT:
        return strings::kOutcomeErrorAbort;
    default:
        return nullptr;
    }
}

JobCompletion::JobCompletion(WorkerContext& context)
    : m_context(context), m_frontEnd(context.frontEnd), m_slots(context.slots)
{
}

void JobCompletion::PollAndFinish(media::IMediaEvent& event, media::IMediaSeeking& seeking)
{
    seeking.GetDuration(m_durationHns);
    long eventCode = 0;
    while (event.WaitForCompletion(kPollIntervalMs, eventCode) == media::WaitResult::TimedOut) {
        seeking.GetCurrentPosition(m_positionHns);
        const int32_t percent = ClampProgress(ProgressPercent(m_positionHns, m_durationHns));
        m_frontEnd.ShowProgress({percent, m_positionHns, m_durationHns});
    }
    seeking.GetCurrentPosition(m_positionHns); // where the graph ended
    Finish(eventCode, event.GetEndReason());
}

void JobCompletion::WaitAndEnd(media::IMediaEvent& event)
{
    long eventCode = 0;
    event.WaitForCompletion(media::INFINITE_WAIT, eventCode);
    CommonEnd(eventCode, event.GetEndReason());
}

void JobCompletion::Finish(long eventCode, const std::string& reason)
{
    m_frontEnd.ShowProgress({100, m_positionHns, m_durationHns, true});
    ReportOutcome(eventCode, reason);
    m_slots.g_pMediaSeeking.Release();
    CommonEnd(eventCode, reason);
}

void JobCompletion::ReportOutcome(long eventCode, const std::string& reason)
{
    const char* message = OutcomeMessage(eventCode);
    if (!message)
        return;
    m_frontEnd.ShowOutcome(message, reason);
    if (eventCode == media::EC_COMPLETE) {
        m_slots.StopGraph();
        m_frontEnd.ShowStatusWithSettings(strings::kStatusCompleted);
    } else if (!m_slots.IsStopRequested()) {
        // The status line must not go on saying that the job runs; an Abort
        // keeps its own text. The reason goes on a second line.
        m_frontEnd.ShowStatus(reason.empty() ? message : message + ("\n" + reason));
    }
}

void JobCompletion::CommonEnd(long eventCode, const std::string& reason)
{
    m_slots.StopGraph();
    ResetGraphObjects(m_context);
    // Every ended job leaves the compressors configurable again.
    m_frontEnd.ShowControlState(JobPhase::Idle);
    m_frontEnd.OnJobEnded(JobOutcome{eventCode, reason, m_slots.IsStopRequested()});
}

} // namespace calvex::job
