// SPDX-License-Identifier: GPL-2.0-or-later
// A slot holding one counted reference to an engine object.
// Reads hand out their own reference, so a caller never calls through an
// object that another thread has just released.
#pragma once

#include <memory>
#include <mutex>
#include <utility>

namespace calvex::media {

template <class T> class Slot {
public:
    std::shared_ptr<T> Get() const
    {
        std::lock_guard lock(m_mutex);
        return m_object;
    }

    // Puts object in the slot; the reference held before is released.
    void Set(std::shared_ptr<T> object)
    {
        std::shared_ptr<T> old;
        {
            std::lock_guard lock(m_mutex);
            old = std::exchange(m_object, std::move(object));
        }
    }

    void Release() { Set(nullptr); }

    bool IsFilled() const
    {
        std::lock_guard lock(m_mutex);
        return m_object != nullptr;
    }

private:
    mutable std::mutex m_mutex;
    std::shared_ptr<T> m_object;
};

} // namespace calvex::media
