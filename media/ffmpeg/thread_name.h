// SPDX-License-Identifier: GPL-2.0-or-later
// Names the calling thread, so that a profile (perf, top -H) tells the
// graph's stages apart. The codecs' own threads inherit the name.
#pragma once

#include <pthread.h>

#include <string>

namespace calvex::media::ffmpeg {

inline void NameThisThread(const std::string& name)
{
    // The kernel keeps 15 characters.
    pthread_setname_np(pthread_self(), name.substr(0, 15).c_str());
}

} // namespace calvex::media::ffmpeg
