// SPDX-License-Identifier: GPL-2.0-or-later
#include "media/ffmpeg/source_filter.h"

#include "media/ffmpeg/failure.h"
#include "media/ffmpeg/local_file.h"

namespace calvex::media::ffmpeg {
namespace {

// A stream that probing found no data of (no size, no channels or no sample
// rate, as an empty track has) is no stream to route.
bool HasData(const AVCodecParameters* stream)
{
    if (stream->codec_type == AVMEDIA_TYPE_VIDEO)
        return stream->width > 0 && stream->height > 0;
    return stream->ch_layout.nb_channels > 0 && stream->sample_rate > 0;
}

// Cover pictures are single images, not the video: no kind counts them.
bool IsStreamOfKind(const AVStream* stream, AVMediaType kind)
{
    return stream->codecpar->codec_type == kind &&
           !(stream->disposition & AV_DISPOSITION_ATTACHED_PIC) && HasData(stream->codecpar);
}

bool HasAudioOrVideo(const AVFormatContext* format)
{
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        const AVStream* stream = format->streams[i];
        if (IsStreamOfKind(stream, AVMEDIA_TYPE_VIDEO) ||
            IsStreamOfKind(stream, AVMEDIA_TYPE_AUDIO))
            return true;
    }
    return false;
}

} // namespace

SourceFilter::SourceFilter(InputContextPtr format, std::filesystem::path path)
    : m_format(std::move(format)), m_path(std::move(path)), m_connected(m_format->nb_streams, false)
{
}

std::shared_ptr<SourceFilter> SourceFilter::Open(const std::filesystem::path& path,
                                                 std::string& failure)
{
    const std::string cannotOpen = "Cannot open the source file " + Quoted(path) + ": ";
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        failure = cannotOpen + "No such file or directory";
        return nullptr;
    }
    if (!IsRegularFile(path)) {
        failure = cannotOpen + "it is not a regular file";
        return nullptr;
    }
    // Only local files: a playlist or a list of files must not reach out to
    // other protocols (pipes, the network).
    Dictionary options;
    if (!options.Set("protocol_whitelist", "file"))
        return nullptr;
    AVFormatContext* raw = nullptr;
    ForgetLoggedError();
    if (const int opened =
            avformat_open_input(&raw, LocalFileUrl(path).c_str(), nullptr, options.Address());
        opened < 0) {
        failure = cannotOpen + ErrorText(opened);
        return nullptr;
    }
    InputContextPtr format(raw);
    if (const int found = avformat_find_stream_info(format.get(), nullptr); found < 0) {
        failure =
            "Cannot read the streams of the source file " + Quoted(path) + ": " + ErrorText(found);
        return nullptr;
    }
    if (!HasAudioOrVideo(format.get())) {
        failure = "The source file " + Quoted(path) + " has neither pictures nor sound";
        return nullptr;
    }
    return std::shared_ptr<SourceFilter>(new SourceFilter(std::move(format), path));
}

int SourceFilter::ConnectNextStream(AVMediaType kind)
{
    std::lock_guard lock(m_mutex);
    for (AVMediaType wanted : {AVMEDIA_TYPE_VIDEO, AVMEDIA_TYPE_AUDIO}) {
        // Any kind: one not routed yet, so that the sound follows the
        // pictures rather than a second picture stream.
        const bool fits =
            kind == AVMEDIA_TYPE_UNKNOWN ? FindStream(wanted, true) < 0 : kind == wanted;
        if (!fits)
            continue;
        const int index = FindStream(wanted, false);
        if (index >= 0) {
            m_connected[index] = true;
            return index;
        }
    }
    return -1;
}

int SourceFilter::FindStream(AVMediaType kind, bool connected) const
{
    for (unsigned i = 0; i < m_format->nb_streams; ++i) {
        if (m_connected[i] == connected && IsStreamOfKind(m_format->streams[i], kind))
            return static_cast<int>(i);
    }
    return -1;
}

void SourceFilter::Disconnect(int streamIndex)
{
    std::lock_guard lock(m_mutex);
    m_connected.at(streamIndex) = false;
}

int SourceFilter::CountStreams(StreamKind kind) const
{
    const AVMediaType wanted = kind == StreamKind::Video ? AVMEDIA_TYPE_VIDEO : AVMEDIA_TYPE_AUDIO;
    int count = 0;
    for (unsigned i = 0; i < m_format->nb_streams; ++i)
        if (IsStreamOfKind(m_format->streams[i], wanted))
            ++count;
    return count;
}

int64_t SourceFilter::DurationHns() const
{
    if (m_format->duration != AV_NOPTS_VALUE && m_format->duration > 0)
        return av_rescale_q(m_format->duration, AV_TIME_BASE_Q, {1, 10000000});
    int64_t longest = 0;
    for (unsigned i = 0; i < m_format->nb_streams; ++i) {
        const AVStream* stream = m_format->streams[i];
        if (stream->duration != AV_NOPTS_VALUE)
            longest =
                std::max(longest, av_rescale_q(stream->duration, stream->time_base, {1, 10000000}));
    }
    return longest;
}

} // namespace calvex::media::ffmpeg
