// SPDX-License-Identifier: GPL-2.0-or-later
#include "media/ffmpeg/local_file.h"

#include <system_error>

namespace calvex::media::ffmpeg {

std::string LocalFileUrl(const std::filesystem::path& path)
{
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return "file:" + (error ? path : absolute).string();
}

bool IsRegularFile(const std::filesystem::path& path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

} // namespace calvex::media::ffmpeg
