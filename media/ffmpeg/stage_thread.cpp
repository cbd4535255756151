// SPDX-License-Identifier: GPL-2.0-or-later
#include "media/ffmpeg/stage_thread.h"

#include "media/ffmpeg/thread_name.h"

namespace calvex::media::ffmpeg {

StageThread::StageThread(std::string name, FrameWork& work, size_t capacity,
                         const std::atomic<bool>& stop)
    : m_name(std::move(name)), m_work(work), m_queue(capacity, stop), m_thread([this] { Run(); })
{
}

StageThread::~StageThread()
{
    Cancel();
}

bool StageThread::Push(AVFrame* frame)
{
    FramePtr queued = MakeFrame();
    if (!queued || m_failed)
        return false;
    av_frame_move_ref(queued.get(), frame);
    return m_queue.Push(std::move(queued));
}

bool StageThread::Finish()
{
    m_queue.Close();
    Join();
    return !m_failed;
}

void StageThread::Cancel()
{
    m_queue.Cancel();
    Join();
}

void StageThread::Join()
{
    if (m_thread.joinable())
        m_thread.join();
}

void StageThread::Run()
{
    NameThisThread(m_name);
    // Nothing may end the program from this thread: a fault fails the stage.
    try {
        if (!Loop())
            m_failed = true;
    } catch (const std::exception& fault) {
        m_work.NoteFault(fault.what());
        m_failed = true;
    }
    // Whatever ended the thread, no one waits for room in its queue any more.
    m_queue.Cancel();
}

bool StageThread::Loop()
{
    while (std::optional<FramePtr> frame = m_queue.Pop()) {
        switch (m_work.Take(frame->get())) {
        case FrameWork::Step::Next:
            continue;
        case FrameWork::Step::Done:
            return true;
        case FrameWork::Step::Fail:
            return false;
        }
    }
    // Cancelled (an abort, a failure elsewhere): the work's rest is not wanted.
    return m_queue.IsCancelled() || m_work.End();
}

} // namespace calvex::media::ffmpeg
