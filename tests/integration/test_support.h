// Helpers of the engine's integration tests: make clips with the ffmpeg
// program, run a conversion job through the engine's interfaces as the
// program does, and read the result back with ffprobe.
#pragma once

#include "media/encoder_settings.h"
#include "media/engine.h"

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace calvex::media::test {

struct CommandResult {
    int exitCode = -1;
    std::string output; // standard output; standard error goes to the test log
};

// Runs a shell command line and captures its standard output.
CommandResult RunCommand(const std::string& commandLine);
// Quotes text for the shell.
std::string Quote(const std::filesystem::path& path);

// The folder of generated clips and outputs, in the build tree.
std::filesystem::path WorkDir();

// Makes (once) a clip named name with ffmpeg's arguments (inputs and codecs;
// the output path is appended). Returns its path.
std::filesystem::path MakeClip(const std::string& name, const std::string& ffmpegArguments);

std::shared_ptr<IMediaEngine> Engine();
// A new compressor filter of the given encoder key, or null when not listed.
FilterPtr BindEncoder(Category category, const std::string& key);

struct JobRequest {
    JobRequest(std::filesystem::path in, std::filesystem::path out, std::string video = "mpeg4",
               std::string audio = "")
        : input(std::move(in)), output(std::move(out)), videoEncoder(std::move(video)),
          audioEncoder(std::move(audio))
    {
    }
    std::filesystem::path input;
    std::filesystem::path output;
    std::string videoEncoder;
    // Empty: keep the audio as it is; "-": no audio; else the audio encoder's key.
    std::string audioEncoder;
    std::vector<std::pair<std::string, std::string>> videoOptions;
};

struct JobResult {
    bool sourceOpened = false;
    bool videoRendered = false;
    bool audioRendered = false;
    WaitResult wait = WaitResult::Failed;
    long eventCode = -1;
    int64_t durationHns = 0;
    int64_t positionHns = 0;
    double seconds = 0;
};

// Runs a whole job: builder, source, compressors, run, wait (1 s steps, 120 s at most).
JobResult RunJob(const JobRequest& request);

// ffprobe's value of one entry (e.g. "stream=codec_name") for a stream selector
// ("v:0", "a:0"); empty when there is none.
std::string ProbeStream(const std::filesystem::path& file, const std::string& selector,
                        const std::string& entries, const std::string& extra = "");
// Number of decoded frames of the first video stream (ffprobe -count_frames).
long CountVideoFrames(const std::filesystem::path& file);
// The time of the first decoded frame of a stream, in seconds.
double FirstFrameTime(const std::filesystem::path& file, const std::string& selector);
// Duration of a stream as the sum of its decoded frames' durations, in seconds.
double DecodedDuration(const std::filesystem::path& file, const std::string& selector);
// MD5 of a file's audio packets as they are (ffmpeg -c copy -f md5).
std::string AudioPacketsMd5(const std::filesystem::path& file);
// True when ffmpeg decodes the whole file without an error and finds frames.
bool DecodesCleanly(const std::filesystem::path& file);
// True when ffmpeg decodes the file to its end (exit code 0) and finds frames;
// warnings such as a first frame that is not a key frame are allowed.
bool Decodes(const std::filesystem::path& file);

} // namespace calvex::media::test
