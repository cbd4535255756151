// SPDX-License-Identifier: GPL-2.0-or-later
// Paths handed to FFmpeg: always as its file protocol's URL, so that a name
// such as "pipe:1" or "file:clip.mkv" is a file name and nothing else.
#pragma once

#include <filesystem>
#include <string>

namespace calvex::media::ffmpeg {

// "file:" and the absolute path.
std::string LocalFileUrl(const std::filesystem::path& path);

// True when path names a regular file (links followed): a FIFO or a device
// would block the job's reads.
bool IsRegularFile(const std::filesystem::path& path);

} // namespace calvex::media::ffmpeg
