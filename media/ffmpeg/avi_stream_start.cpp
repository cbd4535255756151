// SPDX-License-Identifier: GPL-2.0-or-later
#include "media/ffmpeg/avi_stream_start.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>

namespace calvex::media::ffmpeg {
namespace {

// Offsets within a stream header's data (AVISTREAMHEADER).
constexpr std::streamoff kScaleOffset = 20;
constexpr std::streamoff kStartOffset = 28;

struct Chunk {
    char id[4];
    uint32_t size; // little-endian on disk, as on the machines this runs on
};

bool ReadChunk(std::fstream& file, Chunk& chunk)
{
    return static_cast<bool>(file.read(reinterpret_cast<char*>(&chunk), sizeof chunk));
}

bool Is(const char* id, const char* name)
{
    return std::memcmp(id, name, 4) == 0;
}

// Moves to the data of the LIST of the given type that starts at the current
// position or later, within end; its end in listEnd.
bool FindList(std::fstream& file, std::streamoff end, const char* type, std::streamoff& listEnd)
{
    Chunk chunk{};
    while (file.tellg() < end && ReadChunk(file, chunk)) {
        const std::streamoff data = file.tellg();
        char listType[4] = {};
        if (Is(chunk.id, "LIST") && file.read(listType, 4) && Is(listType, type)) {
            listEnd = data + chunk.size;
            return true;
        }
        file.seekg(data + chunk.size + (chunk.size & 1));
    }
    return false;
}

} // namespace

bool SetAviStreamStart(const std::filesystem::path& path, int index, double seconds)
{
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    char riff[12] = {};
    if (!file.read(riff, 12) || !Is(riff, "RIFF") || !Is(riff + 8, "AVI "))
        return false;
    std::streamoff headerEnd = 0, streamEnd = 0;
    if (!FindList(file, std::filesystem::file_size(path), "hdrl", headerEnd))
        return false;
    for (int stream = 0; stream <= index; ++stream) {
        if (stream > 0)
            file.seekg(streamEnd);
        if (!FindList(file, headerEnd, "strl", streamEnd))
            return false;
    }
    Chunk header{};
    if (!ReadChunk(file, header) || !Is(header.id, "strh") || header.size < kStartOffset + 4)
        return false;
    const std::streamoff data = file.tellg();
    uint32_t scaleAndRate[2] = {};
    file.seekg(data + kScaleOffset);
    if (!file.read(reinterpret_cast<char*>(scaleAndRate), sizeof scaleAndRate) ||
        scaleAndRate[0] == 0)
        return false;
    const auto start = static_cast<uint32_t>(
        std::lround(std::max(0.0, seconds) * scaleAndRate[1] / scaleAndRate[0]));
    file.seekp(data + kStartOffset);
    file.write(reinterpret_cast<const char*>(&start), sizeof start);
    return static_cast<bool>(file.flush());
}

} // namespace calvex::media::ffmpeg
