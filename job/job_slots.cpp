// SPDX-License-Identifier: GPL-2.0-or-later
#include "job/job_slots.h"

namespace calvex::job {

void JobSlots::BeginJob()
{
    std::lock_guard lock(m_runMutex);
    m_stopRequested = false;
}

void JobSlots::RequestStop()
{
    std::lock_guard lock(m_runMutex);
    m_stopRequested = true;
    StopGraph();
}

bool JobSlots::IsStopRequested() const
{
    std::lock_guard lock(m_runMutex);
    return m_stopRequested;
}

bool JobSlots::RunGraphUnlessStopped()
{
    std::lock_guard lock(m_runMutex);
    const auto control = g_pMediaControl.Get();
    if (m_stopRequested || !control)
        return false;
    return control->Run();
}

void JobSlots::StopGraph()
{
    if (const auto control = g_pMediaControl.Get())
        control->Stop();
}

} // namespace calvex::job
