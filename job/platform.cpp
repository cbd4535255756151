// SPDX-License-Identifier: GPL-2.0-or-later
#include "job/platform.h"

namespace calvex::job {

JobRunner::JobRunner(media::IMediaEngine& engine, IJobFrontEnd& frontEnd, ICompressorBinder& binder,
                     JobSlots& slots)
    : m_worker(engine, frontEnd, binder, slots), m_slots(slots)
{
}

bool JobRunner::WaitForIdleWorker()
{
    m_worker.Join();
    return true;
}

void JobRunner::StartWorker(const ConversionSettings& settings)
{
    m_worker.Start(settings);
}

void JobRunner::StopGraph()
{
    m_slots.RequestStop();
}

} // namespace calvex::job
