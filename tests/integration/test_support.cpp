// SPDX-License-Identifier: GPL-2.0-or-later
#include "test_support.h"

#include "media/encoder_settings.h"
#include "media/ffmpeg/ffmpeg_engine.h"

#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace calvex::media::test {

std::string Shell(const std::string& commandLine)
{
    const fs::path output = WorkDir() / ("shell-" + std::to_string(getpid()) + ".out");
    std::system(("{ " + commandLine + "; } > " + Quote(output)).c_str());
    return ReadBytes(output);
}

std::string Quote(const fs::path& path)
{
    return "'" + path.string() + "'"; // the tests' names hold no quote
}

std::string ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

fs::path WorkDir()
{
    fs::create_directories(CALVEX_TEST_WORK_DIR);
    return CALVEX_TEST_WORK_DIR;
}

fs::path MakeClip(const std::string& name, const std::string& ffmpegArguments)
{
    // Named after the arguments too, so that a changed test never finds an old clip.
    const std::string hash = std::to_string(std::hash<std::string>{}(ffmpegArguments) % 100000);
    const fs::path clip = WorkDir() / "clips" / (hash + name);
    if (fs::exists(clip))
        return clip;
    fs::create_directories(clip.parent_path());
    // Written under a private name and renamed: parallel tests never see half a clip.
    // When ffmpeg fails, there is nothing to rename and the test ends with the exception.
    const fs::path partial = clip.parent_path() / (std::to_string(getpid()) + "-" + name);
    Shell("ffmpeg -nostdin -y -v error " + ffmpegArguments + " " + Quote(partial));
    fs::rename(partial, clip);
    return clip;
}

fs::path JoinClips(const std::string& name, const std::vector<fs::path>& parts)
{
    const fs::path joined = WorkDir() / "clips" / name;
    std::ofstream out(joined, std::ios::binary);
    for (const fs::path& part : parts)
        out << ReadBytes(part);
    return joined;
}

std::shared_ptr<IMediaEngine> Engine()
{
    StartMediaEngine();
    static const std::shared_ptr<IMediaEngine> engine = CreateFfmpegEngine();
    return engine;
}

FilterPtr BindEncoder(Category category, const std::string& key)
{
    for (const MonikerPtr& moniker :
         Engine()->CreateDeviceEnumerator()->CreateClassEnumerator(category))
        if (moniker->Key() == key)
            return moniker->BindToObject();
    return nullptr;
}

JobResult RunJob(const JobRequest& request)
{
    JobResult result;
    auto builder = Engine()->CreateCaptureGraphBuilder();
    FilterPtr mux = builder->SetOutputFileName(request.output);
    GraphPtr graph = builder->GetFiltergraph();
    FilterPtr source = graph->AddSourceFilter(request.input, "Source Filter");
    const FilterPtr video = request.videoFilter
                                ? request.videoFilter
                                : BindEncoder(Category::VideoCompressor, request.videoEncoder);
    graph->AddFilter(video, "Video Compressor");
    result.videoRendered = builder->RenderStream(source, video, mux);
    // "-" names no encoder: no audio then.
    if (request.audioEncoder.empty())
        result.audioRendered = builder->RenderStream(source, nullptr, mux);
    else if (FilterPtr audio = BindEncoder(Category::AudioCompressor, request.audioEncoder);
             audio && graph->AddFilter(audio, "Audio Compressor"))
        result.audioRendered = builder->RenderStream(source, audio, mux);
    auto event = graph->QueryMediaEvent();
    if (request.stopFirst)
        graph->QueryMediaControl()->Stop();
    graph->QueryMediaControl()->Run();
    auto stopped = std::chrono::steady_clock::now();
    if (request.stopAfter >= 0) {
        std::this_thread::sleep_for(std::chrono::duration<double>(request.stopAfter));
        stopped = std::chrono::steady_clock::now();
        graph->QueryMediaControl()->Stop();
    }
    for (int second = 0; second < 120; ++second)
        if (event->WaitForCompletion(1000, result.eventCode) != WaitResult::TimedOut)
            break;
    result.stopSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - stopped).count();
    result.reason = event->GetEndReason();
    if (auto seeking = mux->QueryMediaSeeking()) {
        seeking->GetDuration(result.durationHns);
        seeking->GetCurrentPosition(result.positionHns);
    }
    return result;
}

std::string Probe(const fs::path& file, const std::string& selector, const std::string& entries,
                  const std::string& extra)
{
    std::string output = Shell("ffprobe -v error " + extra + " -select_streams " + selector +
                               " -show_entries " + entries + " -of csv=p=0 " + Quote(file));
    while (!output.empty() && (output.back() == '\n' || output.back() == ','))
        output.pop_back();
    return output;
}

long CountVideoFrames(const fs::path& file)
{
    return std::atol(Probe(file, "v:0", "stream=nb_read_frames", "-count_frames").c_str());
}

std::pair<double, double> DecodedSpan(const fs::path& file, const std::string& selector)
{
    // The duration comes second whichever of the two fields this ffprobe has.
    std::istringstream lines(
        Probe(file, selector, "frame=pts_time,pkt_duration_time,duration_time"));
    std::pair<double, double> span{NAN, NAN}; // no frames: no span
    for (std::string line; std::getline(lines, line);) {
        double start = 0, duration = 0;
        if (std::sscanf(line.c_str(), "%lf,%lf", &start, &duration) >= 1)
            span = {std::isnan(span.first) ? start : span.first, start + duration};
    }
    return span;
}

double DecodedDuration(const fs::path& file, const std::string& selector)
{
    const auto [start, end] = DecodedSpan(file, selector);
    return end - start;
}

std::string AudioPacketsMd5(const fs::path& file)
{
    // Packets that the source marks to be left out (before an edit list's
    // start) are not part of the sound as it plays, and not copied.
    return Shell("ffprobe -v error -select_streams a:0 -show_data_hash md5 -show_entries "
                 "packet=flags,data_hash -of flat " +
                 Quote(file) +
                 " | awk -F'[.=]' '/flags=/ {d[$3] = index($0, \"D\") > 0} "
                 "/data_hash=/ {h[$3] = $NF} END {for (i = 0; i in h; i++) if (!d[i]) print h[i]}'"
                 " | md5sum");
}

bool Decodes(const fs::path& file, bool clean)
{
    const std::string complaints =
        Shell("ffmpeg -nostdin -v error -i " + Quote(file) + " -f null - " +
              (clean ? "2>&1" : "2>/dev/null") + " || echo failed");
    return complaints.empty() && CountVideoFrames(file) > 0;
}

fs::path SoundAsGStreamerReadsIt(const fs::path& avi)
{
    fs::path wav = avi;
    wav.replace_extension(".gstreamer.wav");
    Shell("gst-launch-1.0 -q filesrc location=" + Quote(avi) +
          " ! avidemux name=demux demux.audio_0 ! queue ! decodebin ! audioconvert ! "
          "audio/x-raw,format=S16LE ! wavenc ! filesink location=" +
          Quote(wav) + " >&2");
    return wav;
}

double FirstPictureAsGStreamerShowsIt(const fs::path& avi)
{
    const std::string pts =
        Shell("gst-launch-1.0 -v filesrc location=" + Quote(avi) +
              " ! avidemux name=demux demux.video_0 ! queue ! decodebin ! fakesink silent=false "
              "sync=false 2>&1 | grep -o 'chain.*pts: [0-9:.]*' | head -1 | grep -o '[0-9:.]*$'");
    int hours = 0, minutes = 0;
    double seconds = 0;
    if (std::sscanf(pts.c_str(), "%d:%d:%lf", &hours, &minutes, &seconds) != 3)
        return std::nan("");
    return hours * 3600.0 + minutes * 60.0 + seconds;
}

long PicturesAsGStreamerReadsThem(const fs::path& avi)
{
    return std::atol(Shell("gst-launch-1.0 -v filesrc location=" + Quote(avi) +
                           " ! avidemux name=demux demux.video_0 ! fakesink silent=false "
                           "sync=false 2>&1 | grep -c 'chain'")
                         .c_str());
}

} // namespace calvex::media::test
