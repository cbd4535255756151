// SPDX-License-Identifier: GPL-2.0-or-later
// A source filter: a demuxer opened on a file, whose streams the graph routes.
#pragma once

#include "media/engine.h"
#include "media/ffmpeg/av_ptr.h"

#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace calvex::media::ffmpeg {

class SourceFilter : public IBaseFilter {
public:
    // Opens path and reads its stream information; null, with the reason in
    // failure, when that fails or the file has neither a video nor an audio stream.
    static std::shared_ptr<SourceFilter> Open(const std::filesystem::path& path,
                                              std::string& failure);

    AVFormatContext* Format() const { return m_format.get(); }
    const std::filesystem::path& Path() const { return m_path; }

    // Marks and returns the first unconnected stream of kind, or with
    // AVMEDIA_TYPE_UNKNOWN the first stream of a kind (video, else audio)
    // that has none connected yet; -1 when none.
    int ConnectNextStream(AVMediaType kind);
    // Gives a stream back when routing it failed.
    void Disconnect(int streamIndex);

    // The source's length in 100-nanosecond units; 0 when unknown.
    int64_t DurationHns() const;

    int CountStreams(StreamKind kind) const override;

private:
    SourceFilter(InputContextPtr format, std::filesystem::path path);
    // The first stream of kind that is (or is not) connected; -1 when none.
    int FindStream(AVMediaType kind, bool connected) const;

    InputContextPtr m_format;
    const std::filesystem::path m_path;
    std::mutex m_mutex;
    std::vector<bool> m_connected;
};

} // namespace calvex::media::ffmpeg
