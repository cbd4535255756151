// SPDX-License-Identifier: GPL-2.0-or-later
// A stage of a running graph on a thread of its own, fed frames through a
// short queue: the thread takes each frame in turn, then ends its work once
// the queue is closed. What the frames are for (filtering, encoding) is the
// owner's, given as a FrameWork.
#pragma once

#include "media/ffmpeg/av_ptr.h"
#include "media/ffmpeg/stage_queue.h"

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace calvex::media::ffmpeg {

// What a stage's thread does with its frames.
class FrameWork {
public:
    enum class Step {
        Next, // the frame is done: on to the next one
        Done, // the stage has nothing more to do (a stop, a deadline passed)
        Fail, // the stage failed; the reason has been noted
    };
    virtual ~FrameWork() = default;
    virtual Step Take(AVFrame* frame) = 0;
    // The queue was closed and every frame taken: what the work still
    // holds goes on. False on failure.
    virtual bool End() = 0;
    // Notes an internal fault (an exception) as the reason the job fails.
    virtual void NoteFault(const std::string& what) = 0;
};

class StageThread {
public:
    // The thread, named name, starts at once; capacity frames wait at most.
    // A Push waiting for room gives up when stop turns true. work must
    // outlive the stage thread.
    StageThread(std::string name, FrameWork& work, size_t capacity, const std::atomic<bool>& stop);
    ~StageThread();
    StageThread(const StageThread&) = delete;
    StageThread& operator=(const StageThread&) = delete;

    // Takes the frame's data, waiting while the queue is full. False when not
    // taken: the stage has failed or ended, or the job stops.
    bool Push(AVFrame* frame);
    // No more frames: the thread works through the queue and the work's end,
    // and ends. False when the stage failed.
    bool Finish();
    // Drops what is queued and ends the thread; the work's end is skipped.
    void Cancel();

private:
    void Run();
    bool Loop();
    void Join();

    const std::string m_name;
    FrameWork& m_work;
    StageQueue<FramePtr> m_queue;
    std::atomic<bool> m_failed{false};
    // Last: the thread starts once everything it uses exists.
    std::thread m_thread;
};

} // namespace calvex::media::ffmpeg
