// SPDX-License-Identifier: GPL-2.0-or-later
#include "media/ffmpeg/ffmpeg_engine.h"

#include "media/ffmpeg/encoder_catalogue.h"
#include "media/ffmpeg/failure.h"

#include <mutex>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace calvex::media {
namespace {

// glibc gives each new thread a heap of its own: the graph's many threads
// (stages, codec threads) would each keep free memory of their own, and hand
// it back to the system and fault it in again (huge pages cleared) as
// pictures come and go. They allocate little once running, so all threads
// share one heap: less memory at the peak, and no such system time. It takes
// effect for threads that have no heap yet, so it comes first.
void ShareOneHeap()
{
#ifdef __GLIBC__
    mallopt(M_ARENA_MAX, 1);
#endif
}

// The catalogue's trial opens leave large freed blocks behind (some encoders
// allocate tens of megabytes): they go back to the system rather than being
// carried all job long.
void BuildCatalogueAndTrim()
{
    ffmpeg::AviEncoders(AVMEDIA_TYPE_VIDEO);
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

} // namespace

void StartMediaEngine()
{
    static std::once_flag started;
    std::call_once(started, [] {
        ShareOneHeap();
        // Trial opens and damaged sources make FFmpeg talk a lot: its errors
        // are kept for the reasons of a failed job, not printed.
        ffmpeg::CaptureFfmpegLog();
        BuildCatalogueAndTrim();
    });
}

} // namespace calvex::media
