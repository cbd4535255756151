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
    int64_t duration = 0;
    int64_t position = 0;
    seeking.GetDuration(duration);
    long eventCode = 0;
    while (event.WaitForCompletion(kPollIntervalMs, eventCode) == media::WaitResult::TimedOut) {
        seeking.GetCurrentPosition(position);
        m_frontEnd.SetProgressPos(ClampProgress(ProgressPercent(position, duration)));
    }
    Finish(eventCode);
}

void JobCompletion::WaitAndEnd(media::IMediaEvent& event)
{
    long eventCode = 0;
    event.WaitForCompletion(media::INFINITE_WAIT, eventCode);
    CommonEnd(eventCode);
}

void JobCompletion::Finish(long eventCode)
{
    m_frontEnd.SetProgressPos(100);
    ReportOutcome(eventCode);
    m_slots.g_pMediaSeeking.Release();
    CommonEnd(eventCode);
}

void JobCompletion::ReportOutcome(long eventCode)
{
    const char* message = OutcomeMessage(eventCode);
    if (!message)
        return;
    m_frontEnd.MessageBox(message);
    if (eventCode == media::EC_COMPLETE) {
        m_slots.StopGraph();
        m_frontEnd.ShowStatus(strings::kStatusCompleted);
    } else if (!m_slots.IsStopRequested()) {
        // The status line must not go on saying that the job runs; an Abort
        // keeps its own text.
        m_frontEnd.ShowStatus(message);
    }
}

void JobCompletion::CommonEnd(long eventCode)
{
    m_slots.StopGraph();
    ResetGraphObjects(m_context);
    // Every ended job leaves the compressors configurable again.
    m_frontEnd.ShowControlState(JobPhase::Idle);
    m_frontEnd.OnJobEnded(JobOutcome{eventCode, {}, m_slots.IsStopRequested()});
}

} // namespace calvex::job
