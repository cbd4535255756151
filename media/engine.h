// SPDX-License-Identifier: GPL-2.0-or-later
// The media engine as the rest of the program sees it: a small filter-graph
// model (device enumerator, graph builder, graph, control, event, seeking).
// The FFmpeg implementation lives in media/ffmpeg/; tests use fakes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace calvex::media {

class ISpecifyPropertyPages;
class ICodecDialog;

// Event codes reported by IMediaEvent::WaitForCompletion.
inline constexpr long EC_NONE = 0;
inline constexpr long EC_COMPLETE = 1;
inline constexpr long EC_USERABORT = 2;
inline constexpr long EC_ERRORABORT = 3;

// Time-out value meaning "wait until the graph ends".
inline constexpr uint32_t INFINITE_WAIT = 0xFFFFFFFF;

enum class Category { VideoCompressor, AudioCompressor };
enum class StreamKind { Video, Audio };

// Position information of the multiplexer, in 100-nanosecond units.
class IMediaSeeking {
public:
    virtual ~IMediaSeeking() = default;
    virtual bool GetDuration(int64_t& duration) = 0;
    virtual bool GetCurrentPosition(int64_t& position) = 0;
};

// A filter: a compressor, a source or a multiplexer. The Query functions
// answer null when the filter does not offer that interface.
class IBaseFilter {
public:
    virtual ~IBaseFilter() = default;
    virtual std::shared_ptr<ISpecifyPropertyPages> QueryPropertyPages() { return nullptr; }
    virtual std::shared_ptr<ICodecDialog> QueryCodecDialog() { return nullptr; }
    virtual std::shared_ptr<IMediaSeeking> QueryMediaSeeking() { return nullptr; }
    // Streams of a kind that a source delivers; -1 when the filter cannot tell.
    virtual int CountStreams(StreamKind /*kind*/) const { return -1; }
};
using FilterPtr = std::shared_ptr<IBaseFilter>;

// One installed compressor of a category.
class IMoniker {
public:
    virtual ~IMoniker() = default;
    // The full display name (UTF-8). Several devices may share one name.
    virtual std::string FriendlyName() const = 0;
    // A name that identifies this device alone within its category.
    virtual std::string Key() const = 0;
    // A new filter instance with its own settings, or null when none can be made.
    virtual FilterPtr BindToObject() = 0;
};
using MonikerPtr = std::shared_ptr<IMoniker>;

class ICreateDevEnum {
public:
    virtual ~ICreateDevEnum() = default;
    // The devices of a category in enumeration order; empty when there are none.
    virtual std::vector<MonikerPtr> CreateClassEnumerator(Category category) = 0;
};

class IMediaControl {
public:
    virtual ~IMediaControl() = default;
    virtual bool Run() = 0;
    // Safe from any thread, also while another thread waits for completion.
    virtual void Stop() = 0;
    // True when the graph first analyses the source (a first pass) and
    // replaces the output file only once it begins writing it: until then an
    // older output must stay, so that a stop in the analysis loses nothing.
    virtual bool ReplacesOutputItself() const { return false; }
};

enum class WaitResult {
    Ended,    // the graph ended (or was stopped); the event code says how
    TimedOut, // the time-out passed while the graph still runs
    Failed,   // the wait itself failed (e.g. the graph never ran)
};

class IMediaEvent {
public:
    virtual ~IMediaEvent() = default;
    virtual WaitResult WaitForCompletion(uint32_t timeoutMs, long& eventCode) = 0;
    // Why the graph ended with an error, in words for the user (the step,
    // the file, the library's own text); empty when it did not, or when the
    // reason is not known.
    virtual std::string GetEndReason() { return {}; }
};

class IGraphBuilder {
public:
    virtual ~IGraphBuilder() = default;
    // Opens the file; its streams are known on return. Null when it cannot be opened.
    virtual FilterPtr AddSourceFilter(const std::filesystem::path& path,
                                      const std::string& name) = 0;
    virtual bool AddFilter(const FilterPtr& filter, const std::string& name) = 0;
    virtual std::shared_ptr<IMediaControl> QueryMediaControl() = 0;
    virtual std::shared_ptr<IMediaEvent> QueryMediaEvent() = 0;
};
using GraphPtr = std::shared_ptr<IGraphBuilder>;

class ICaptureGraphBuilder {
public:
    virtual ~ICaptureGraphBuilder() = default;
    // Makes a new graph with an AVI multiplexer writing to path (opened when the
    // graph runs) and returns the multiplexer; null on failure.
    virtual FilterPtr SetOutputFileName(const std::filesystem::path& path) = 0;
    virtual GraphPtr GetFiltergraph() = 0;
    // Routes the first unconnected stream of source (of via's kind when via is
    // given) through via, or unchanged when via is null, into sink.
    virtual bool RenderStream(const FilterPtr& source, const FilterPtr& via,
                              const FilterPtr& sink) = 0;
};

// Entry point of an engine: creates the two root objects.
class IMediaEngine {
public:
    virtual ~IMediaEngine() = default;
    virtual std::shared_ptr<ICreateDevEnum> CreateDeviceEnumerator() = 0;
    virtual std::shared_ptr<ICaptureGraphBuilder> CreateCaptureGraphBuilder() = 0;
    // What a source file holds, read from its headers: its length in
    // 100-nanosecond units and its first picture stream's pixels per second;
    // each 0 when the file does not say.
    struct SourceMeasure {
        bool opened = false; // false: it cannot be opened as a source
        int64_t lengthHns = 0;
        double pixelsPerSecond = 0;
    };
    virtual SourceMeasure MeasureSource(const std::filesystem::path& /*path*/) { return {}; }
};

} // namespace calvex::media
