// SPDX-License-Identifier: GPL-2.0-or-later
// Why a graph failed, in words for the user: the step that failed, the file
// it concerns, and FFmpeg's own text for the error.
#pragma once

#include <filesystem>
#include <mutex>
#include <string>

namespace calvex::media::ffmpeg {

// The first failure of a graph; later ones are mostly its consequences.
// Safe from the graph's threads.
class FailureNote {
public:
    void Note(const std::string& reason);
    // Adds a sentence to the reason noted.
    void Append(const std::string& sentence);
    std::string Reason() const;
    bool IsEmpty() const;

private:
    mutable std::mutex m_mutex;
    std::string m_reason;
};

// FFmpeg's text for an error code, with the last error FFmpeg logged on this
// thread, or else on any thread (a codec's own) since this thread last
// forgot, when there is one (it often names the setting at fault).
std::string ErrorText(int code);

// What FFmpeg last logged as an error on this thread, or else on any thread
// since this thread last forgot (then forgotten); empty when nothing.
std::string TakeLoggedError();

// Forgets what FFmpeg logged on this thread before: called ahead of a step
// whose failure ErrorText may describe.
void ForgetLoggedError();

// The path in quotes, for a message.
std::string Quoted(const std::filesystem::path& path);

// Sends FFmpeg's log to the capture that ErrorText reads; with
// CALVEX_FFMPEG_LOG=<av_log level> it is also printed, for developers.
// Part of the engine's start-up (StartMediaEngine).
void CaptureFfmpegLog();

} // namespace calvex::media::ffmpeg
