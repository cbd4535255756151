// SPDX-License-Identifier: GPL-2.0-or-later
#include "media/ffmpeg/failure.h"

#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <utility>

extern "C" {
#include <libavutil/error.h>
#include <libavutil/log.h>
}

namespace calvex::media::ffmpeg {
namespace {

// The last error message FFmpeg logged on this thread.
thread_local std::string t_lastLoggedError;

// Codecs log from threads of their own (frame threads, x264's threads): the
// last error logged on any thread, and how many were logged in all, so that a
// step whose own thread logged nothing still finds the error its codec's
// threads logged since the step began.
struct AnyThreadLog {
    std::mutex mutex;
    std::string lastError;
    uint64_t count = 0;
};
AnyThreadLog g_anyThread;
// How many errors any thread had logged when this thread last forgot.
thread_local uint64_t t_countAtForget = 0;

int g_printLevel = AV_LOG_QUIET;

void KeepLoggedError(const std::string& text)
{
    t_lastLoggedError = text;
    std::lock_guard lock(g_anyThread.mutex);
    g_anyThread.lastError = text;
    ++g_anyThread.count;
}

void OnFfmpegLog(void* object, int level, const char* format, va_list arguments)
{
    if (level <= g_printLevel) {
        va_list copy;
        va_copy(copy, arguments);
        av_log_default_callback(object, level, format, copy);
        va_end(copy);
    }
    if (level > AV_LOG_ERROR)
        return;
    char line[512];
    int printPrefix = 0; // without the "[codec @ 0x...]" prefix
    av_log_format_line2(nullptr, level, format, arguments, line, sizeof line, &printPrefix);
    std::string text(line);
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ' || text.back() == '.'))
        text.pop_back();
    if (!text.empty())
        KeepLoggedError(text);
}

} // namespace

void FailureNote::Note(const std::string& reason)
{
    std::lock_guard lock(m_mutex);
    if (m_reason.empty())
        m_reason = reason;
}

void FailureNote::Append(const std::string& sentence)
{
    std::lock_guard lock(m_mutex);
    if (!m_reason.empty())
        m_reason += ". ";
    m_reason += sentence;
}

std::string FailureNote::Reason() const
{
    std::lock_guard lock(m_mutex);
    return m_reason;
}

bool FailureNote::IsEmpty() const
{
    std::lock_guard lock(m_mutex);
    return m_reason.empty();
}

std::string ErrorText(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    std::string result = text;
    const std::string logged = TakeLoggedError();
    if (!logged.empty() && logged != result)
        result += " (" + logged + ")";
    return result;
}

std::string TakeLoggedError()
{
    std::lock_guard lock(g_anyThread.mutex);
    const bool anyNew = g_anyThread.count != t_countAtForget;
    t_countAtForget = g_anyThread.count;
    if (!t_lastLoggedError.empty())
        return std::exchange(t_lastLoggedError, {});
    return anyNew ? g_anyThread.lastError : std::string();
}

void ForgetLoggedError()
{
    t_lastLoggedError.clear();
    std::lock_guard lock(g_anyThread.mutex);
    t_countAtForget = g_anyThread.count;
}

std::string Quoted(const std::filesystem::path& path)
{
    return "\"" + path.string() + "\"";
}

void CaptureFfmpegLog()
{
    const char* level = std::getenv("CALVEX_FFMPEG_LOG");
    g_printLevel = level != nullptr ? std::atoi(level) : AV_LOG_QUIET;
    av_log_set_level(AV_LOG_ERROR > g_printLevel ? AV_LOG_ERROR : g_printLevel);
    av_log_set_callback(OnFfmpegLog);
}

} // namespace calvex::media::ffmpeg
