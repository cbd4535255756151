// SPDX-License-Identifier: GPL-2.0-or-later
// Names the calling thread, so that a profile (perf, top -H) tells the
// graph's stages apart. Threads a codec starts inherit the name.
#pragma once

#include <pthread.h>

#include <string>

namespace calvex::media::ffmpeg {

inline void NameThisThread(const std::string& name)
{
    // The kernel keeps 15 characters.
    pthread_setname_np(pthread_self(), name.substr(0, 15).c_str());
}

// The name of an encoder's threads, its own and those of its codec.
inline std::string EncoderThreadName(const char* codecName)
{
    return std::string("enc ") + codecName;
}

// Names the calling thread for a while: an encoder opened on another stage's
// thread gives its own threads its name, not that stage's.
class ThreadNameDuring {
public:
    explicit ThreadNameDuring(const std::string& name)
    {
        if (pthread_getname_np(pthread_self(), m_previous, sizeof m_previous) != 0)
            m_previous[0] = '\0';
        NameThisThread(name);
    }
    ~ThreadNameDuring() { NameThisThread(m_previous); }
    ThreadNameDuring(const ThreadNameDuring&) = delete;
    ThreadNameDuring& operator=(const ThreadNameDuring&) = delete;

private:
    char m_previous[16];
};

} // namespace calvex::media::ffmpeg
