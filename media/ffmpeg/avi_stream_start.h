// SPDX-License-Identifier: GPL-2.0-or-later
// A stream's start in a finished AVI file: the dwStart field of its stream
// header, which readers take as the time of its first chunk. Copied sound
// that starts after the first picture keeps its delay this way, its packets
// untouched.
#pragma once

#include <filesystem>

namespace calvex::media::ffmpeg {

// Sets the start of stream index (in the order of the file's stream headers)
// to the time nearest to seconds in the stream's own units; false when the
// file's header is not as expected.
bool SetAviStreamStart(const std::filesystem::path& path, int index, double seconds);

} // namespace calvex::media::ffmpeg
