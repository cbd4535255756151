// SPDX-License-Identifier: GPL-2.0-or-later
// Helpers of the engine's integration tests: clips made with the ffmpeg
// program, a job run through the engine's interfaces as the program runs it,
// and the result read back with ffprobe and ffmpeg.
#pragma once

#include "media/engine.h"

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace calvex::media::test {
namespace fs = std::filesystem;

// Runs a shell command line; returns its standard output. Standard error
// goes to the test log.
std::string Shell(const std::string& commandLine);
std::string Quote(const fs::path& path);
std::string ReadBytes(const fs::path& path);

// The folder of clips and outputs, in the build tree.
fs::path WorkDir();
// Makes (once) the clip name from ffmpeg's input and codec arguments; throws
// when ffmpeg cannot make it.
fs::path MakeClip(const std::string& name, const std::string& ffmpegArguments);

// The clips one after the other in one file, as `cat` joins them.
fs::path JoinClips(const std::string& name, const std::vector<fs::path>& parts);

std::shared_ptr<IMediaEngine> Engine();
// A new compressor filter of the given encoder key, or null when not listed.
FilterPtr BindEncoder(Category category, const std::string& key);

struct JobRequest {
    fs::path input;
    fs::path output;
    std::string videoEncoder = "mpeg4";
    // Empty: keep the audio as it is; "-": no audio; else the audio encoder's key.
    std::string audioEncoder{};
    FilterPtr videoFilter{}; // a video compressor to use instead of a new one of videoEncoder
    bool stopFirst = false;  // Stop comes before Run, as an early Abort does
    double stopAfter = -1;   // seconds after Run when Stop comes, as an Abort does
};

struct JobResult {
    bool videoRendered = false;
    bool audioRendered = false;
    long eventCode = -1;
    std::string reason; // why it failed
    int64_t durationHns = 0;
    int64_t positionHns = 0;
    double stopSeconds = 0; // from Stop to the graph's end
};

// Builds the graph as the program does, runs it and waits up to 120 s; the
// event code stays -1 when the run does not end by then.
JobResult RunJob(const JobRequest& request);

// ffprobe's values of entries (e.g. "stream=codec_name") of the streams selected.
std::string Probe(const fs::path& file, const std::string& selector, const std::string& entries,
                  const std::string& extra = "");
// The decoded pictures of the first video stream; 0 without one.
long CountVideoFrames(const fs::path& file);
// The first decoded frame's start and the last one's end, in seconds (NaN without frames).
std::pair<double, double> DecodedSpan(const fs::path& file, const std::string& selector);
double DecodedDuration(const fs::path& file, const std::string& selector);
// MD5 of a file's audio packets as they are (those not marked to be left out).
std::string AudioPacketsMd5(const fs::path& file);
// The first sound stream of an AVI file as GStreamer reads and decodes it
// (its own demuxer, not FFmpeg's), written to a WAV file beside it.
fs::path SoundAsGStreamerReadsIt(const fs::path& avi);
// How many pictures GStreamer's demuxer finds in an AVI file.
long PicturesAsGStreamerReadsThem(const fs::path& avi);
// When GStreamer shows an AVI file's first picture, in seconds (NaN without).
double FirstPictureAsGStreamerShowsIt(const fs::path& avi);
// True when ffmpeg decodes the whole file and finds pictures; when clean, also
// without a single complaint (else a first frame that is no key frame is fine).
bool Decodes(const fs::path& file, bool clean = true);

} // namespace calvex::media::test
