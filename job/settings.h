// SPDX-License-Identifier: GPL-2.0-or-later
// What one conversion job is made of, and the checks on its paths.
#pragma once

#include <string>

namespace calvex::job {

struct ConversionSettings {
    std::string m_strSourceFile; // UTF-8 path of the source video
    std::string m_strOutputFile; // UTF-8 path of the AVI file to write
    int m_bKeepAudio = 0;        // exactly 1: copy the audio unchanged
};

// True when the path holds no characters; a path of blanks is not empty.
bool IsEmptyPath(const std::string& path);

// True when both paths name one file: the same text, or another spelling of
// an existing file (relative segments, symbolic or hard links).
bool IsSameFile(const std::string& source, const std::string& output);

// False only for something at path that is no regular file (nor a link to
// one): a FIFO, a device, a socket or a folder, which a job must not
// replace. A path that cannot be looked at is left to the job.
bool IsReplaceableOutput(const std::string& path);

// Deletes the file at path if there is one; never removes a directory.
void DeleteOutputFile(const std::string& path);

} // namespace calvex::job
