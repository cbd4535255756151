// SPDX-License-Identifier: GPL-2.0-or-later
// The short queue between two stages of a running graph, each on its own
// thread: the producer waits while it is full, the consumer while it is
// empty, so that memory stays bounded whatever the source's length.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>

namespace calvex::media::ffmpeg {

template <class T> class StageQueue {
public:
    // A producer waiting for room gives up once stop turns true, so that an
    // aborted job never hangs on a stage that no longer takes anything.
    StageQueue(size_t capacity, const std::atomic<bool>& stop) : m_capacity(capacity), m_stop(stop)
    {
    }

    // Waits for room; false (item dropped) once cancelled, closed or stopped.
    bool Push(T item)
    {
        std::unique_lock lock(m_mutex);
        // The stop flag is not signalled: it is looked at every few milliseconds.
        while (m_items.size() >= m_capacity && !m_cancelled && !m_stop.load())
            m_changed.wait_for(lock, std::chrono::milliseconds(10));
        if (m_cancelled || m_closed || m_stop.load())
            return false;
        m_items.push_back(std::move(item));
        m_changed.notify_all();
        return true;
    }

    // The next item; empty at the end (closed and all taken, or cancelled).
    std::optional<T> Pop()
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_items.empty() || m_closed || m_cancelled; });
        if (m_items.empty() || m_cancelled)
            return std::nullopt;
        std::optional<T> item(std::move(m_items.front()));
        m_items.pop_front();
        m_changed.notify_all();
        return item;
    }

    // No more input: what is queued is still taken, then Pop ends.
    void Close()
    {
        std::lock_guard lock(m_mutex);
        m_closed = true;
        m_changed.notify_all();
    }

    // Drops what is queued; Push and Pop return at once from now on.
    void Cancel()
    {
        std::lock_guard lock(m_mutex);
        m_cancelled = true;
        m_items.clear();
        m_changed.notify_all();
    }

    bool IsCancelled() const
    {
        std::lock_guard lock(m_mutex);
        return m_cancelled;
    }

private:
    const size_t m_capacity;
    const std::atomic<bool>& m_stop;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<T> m_items;
    bool m_closed = false;
    bool m_cancelled = false;
};

} // namespace calvex::media::ffmpeg
