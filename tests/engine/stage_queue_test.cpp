// SPDX-License-Identifier: GPL-2.0-or-later
// The queue between two stages, with a producer and a consumer on threads of
// their own: it ends, cancels, holds its bound and heeds the stop flag
// without leaving either side waiting.
#include "media/ffmpeg/av_ptr.h"
#include "media/ffmpeg/stage_queue.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <future>
#include <thread>
#include <vector>

namespace calvex::media::ffmpeg {
namespace {

using namespace std::chrono_literals;
using Queue = StageQueue<FramePtr>;

// How long a side may take to return once it is released: only a guard
// against a test that would otherwise hang.
constexpr auto kGuard = 5s;
// A side that is still waiting after this waits for good. (Nothing tells
// from outside that a thread waits in the queue; this also gives it the time
// to get there.)
constexpr auto kStillWaiting = 100ms;

// A frame of 16x16 grey pixels (not yet allocated) numbered by its time stamp.
FramePtr Frame(int64_t number)
{
    FramePtr frame = MakeFrame();
    frame->pts = number;
    frame->format = AV_PIX_FMT_GRAY8;
    frame->width = frame->height = 16;
    return frame;
}

// The numbers of the frames taken until Pop ends.
std::vector<int64_t> TakeAll(Queue& queue)
{
    std::vector<int64_t> taken;
    while (std::optional<FramePtr> frame = queue.Pop())
        taken.push_back((*frame)->pts);
    return taken;
}

// Runs one side on a thread of its own. However the test ends, the queue is
// cancelled and the thread joined, so that a failed check never hangs.
template <class Result> class Side {
public:
    Side(Queue& queue, std::function<Result()> work)
        : m_queue(queue), m_task(std::move(work)), m_result(m_task.get_future()),
          m_thread(std::ref(m_task))
    {
    }
    ~Side()
    {
        m_queue.Cancel();
        m_thread.join();
    }
    bool IsWaiting() { return m_result.wait_for(kStillWaiting) == std::future_status::timeout; }
    bool ReturnsInTime() { return m_result.wait_for(kGuard) == std::future_status::ready; }
    Result Get() { return m_result.get(); }

private:
    Queue& m_queue;
    std::packaged_task<Result()> m_task;
    std::future<Result> m_result;
    std::thread m_thread;
};

TEST(StageQueueClose, WhatIsQueuedIsStillTakenThenPopEnds)
{
    const std::atomic<bool> stop{false};
    Queue queue(4, stop);
    ASSERT_TRUE(queue.Push(Frame(1)));
    ASSERT_TRUE(queue.Push(Frame(2)));
    queue.Close();
    EXPECT_FALSE(queue.Push(Frame(3))) << "a closed queue took more";
    Side<std::vector<int64_t>> consumer(queue, [&] { return TakeAll(queue); });
    ASSERT_TRUE(consumer.ReturnsInTime());
    EXPECT_EQ(consumer.Get(), (std::vector<int64_t>{1, 2}));

    // A consumer waiting on an empty queue takes what comes, then ends at Close.
    Queue waited(4, stop);
    Side<std::vector<int64_t>> waiting(waited, [&] { return TakeAll(waited); });
    EXPECT_TRUE(waiting.IsWaiting());
    ASSERT_TRUE(waited.Push(Frame(1)));
    ASSERT_TRUE(waited.Push(Frame(2)));
    waited.Close();
    ASSERT_TRUE(waiting.ReturnsInTime()) << "Close left the consumer waiting";
    EXPECT_EQ(waiting.Get(), (std::vector<int64_t>{1, 2}));
}

TEST(StageQueueCancel, DropsWhatIsQueuedAndReleasesBothSides)
{
    const std::atomic<bool> stop{false};
    Queue full(2, stop);
    // A reference of our own to the first frame's picture tells when the queue lets it go.
    FramePtr first = Frame(1);
    ASSERT_GE(av_frame_get_buffer(first.get(), 0), 0);
    AVBufferRef* picture = av_buffer_ref(first->buf[0]);
    ASSERT_NE(picture, nullptr);
    ASSERT_TRUE(full.Push(std::move(first)));
    ASSERT_TRUE(full.Push(Frame(2)));
    Side<bool> producer(full, [&] { return full.Push(Frame(3)); });
    ASSERT_TRUE(producer.IsWaiting());
    full.Cancel();
    ASSERT_TRUE(producer.ReturnsInTime()) << "Cancel left the producer waiting";
    EXPECT_FALSE(producer.Get());
    EXPECT_TRUE(full.IsCancelled());
    EXPECT_EQ(av_buffer_get_ref_count(picture), 1) << "the queued frames were not dropped";
    av_buffer_unref(&picture);
    EXPECT_FALSE(full.Pop().has_value());
    EXPECT_FALSE(full.Push(Frame(4)));

    Queue empty(2, stop);
    Side<bool> consumer(empty, [&] { return empty.Pop().has_value(); });
    ASSERT_TRUE(consumer.IsWaiting());
    empty.Cancel();
    ASSERT_TRUE(consumer.ReturnsInTime()) << "Cancel left the consumer waiting";
    EXPECT_FALSE(consumer.Get());
}

TEST(StageQueueStop, AProducerWaitingForRoomGivesUpOnceStopTurnsTrue)
{
    std::atomic<bool> stop{false};
    Queue queue(1, stop);
    ASSERT_TRUE(queue.Push(Frame(1)));
    Side<bool> producer(queue, [&] { return queue.Push(Frame(2)); });
    ASSERT_TRUE(producer.IsWaiting());
    stop = true;
    ASSERT_TRUE(producer.ReturnsInTime()) << "the stop left the producer waiting";
    EXPECT_FALSE(producer.Get());

    // Once stopped, a queue with room drops what comes too.
    Queue roomy(4, stop);
    EXPECT_FALSE(roomy.Push(Frame(1)));
}

} // namespace
} // namespace calvex::media::ffmpeg
