// SPDX-License-Identifier: GPL-2.0-or-later
#include "job/settings.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace calvex::job {

bool IsEmptyPath(const std::string& path)
{
    return path.compare("") == 0;
}

bool IsSameFile(const std::string& source, const std::string& output)
{
    if (source == output)
        return true;
    std::error_code error;
    // equivalent() compares device and inode, so it sees through relative
    // segments, symbolic links and hard links; it fails when either is missing.
    return fs::equivalent(fs::path(source), fs::path(output), error) && !error;
}

bool IsReplaceableOutput(const std::string& path)
{
    // Only an output that is there and is something else is refused: a path
    // that cannot be looked at (no permission, a file used as a folder) goes
    // to the job, which fails with the reason.
    std::error_code error;
    const fs::file_type type = fs::status(fs::path(path), error).type();
    return error || type == fs::file_type::not_found || type == fs::file_type::regular;
}

void DeleteOutputFile(const std::string& path)
{
    std::error_code error;
    const fs::path target = fs::path(path);
    if (fs::is_directory(fs::symlink_status(target, error)))
        return;
    fs::remove(target, error);
}

} // namespace calvex::job
