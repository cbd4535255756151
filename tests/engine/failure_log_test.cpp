// SPDX-License-Identifier: GPL-2.0-or-later
// FFmpeg's own words in a failed job's reason: what it logged as an error,
// on the failing step's thread or on a codec's thread of its own.
#include "media/ffmpeg/failure.h"
#include "media/ffmpeg/ffmpeg_engine.h"

#include <gtest/gtest.h>

#include <thread>

extern "C" {
#include <libavutil/error.h>
#include <libavutil/log.h>
}

namespace calvex::media::ffmpeg {
namespace {

void LogError(const char* text)
{
    av_log(nullptr, AV_LOG_ERROR, "%s\n", text);
}

TEST(FfmpegErrors, ReachTheReasonFromTheStepsThreadOrFromACodecsOwnThread)
{
    StartMediaEngine();
    ForgetLoggedError();
    std::thread([] { LogError("Specified sample rate 11025 is not supported"); }).join();
    EXPECT_EQ(ErrorText(AVERROR(EINVAL)),
              "Invalid argument (Specified sample rate 11025 is not supported)");
    EXPECT_EQ(ErrorText(AVERROR(EINVAL)), "Invalid argument") << "taken once only";

    // What this thread logged comes first; what came before the step is no part of it.
    std::thread([] { LogError("an old complaint"); }).join();
    ForgetLoggedError();
    std::thread([] { LogError("a codec thread's complaint"); }).join();
    LogError("the step's own complaint");
    EXPECT_EQ(TakeLoggedError(), "the step's own complaint");
    EXPECT_EQ(TakeLoggedError(), "");
    ForgetLoggedError();
    std::thread([] { LogError("a codec thread's complaint"); }).join();
    EXPECT_EQ(TakeLoggedError(), "a codec thread's complaint");
}

} // namespace
} // namespace calvex::media::ffmpeg
