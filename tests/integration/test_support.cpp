#include "test_support.h"

#include "media/ffmpeg/ffmpeg_engine.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace calvex::media::test {

CommandResult RunCommand(const std::string& commandLine)
{
    CommandResult result;
    FILE* pipe = popen(commandLine.c_str(), "r");
    if (pipe == nullptr)
        return result;
    std::array<char, 4096> buffer{};
    size_t count = 0;
    while ((count = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        result.output.append(buffer.data(), count);
    const int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string Quote(const std::filesystem::path& path)
{
    std::string quoted = "'";
    for (char c : path.string())
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::filesystem::path WorkDir()
{
    static const std::filesystem::path dir = [] {
        std::filesystem::path path = CALVEX_TEST_WORK_DIR;
        std::filesystem::create_directories(path);
        return path;
    }();
    return dir;
}

std::filesystem::path MakeClip(const std::string& name, const std::string& ffmpegArguments)
{
    const std::filesystem::path clip = WorkDir() / "clips" / name;
    if (std::filesystem::exists(clip))
        return clip;
    std::filesystem::create_directories(clip.parent_path());
    // Written under a private name and renamed, so parallel tests never see half a clip.
    const std::filesystem::path partial =
        clip.parent_path() / ("partial-" + std::to_string(getpid()) + "-" + name);
    const CommandResult made =
        RunCommand("ffmpeg -nostdin -y -v error " + ffmpegArguments + " " + Quote(partial));
    if (made.exitCode != 0)
        return {};
    std::filesystem::rename(partial, clip);
    return clip;
}

std::shared_ptr<IMediaEngine> Engine()
{
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
    const auto started = std::chrono::steady_clock::now();
    auto builder = Engine()->CreateCaptureGraphBuilder();
    FilterPtr mux = builder->SetOutputFileName(request.output);
    GraphPtr graph = builder->GetFiltergraph();
    FilterPtr source = graph->AddSourceFilter(request.input, "Source Filter");
    result.sourceOpened = source != nullptr;
    FilterPtr video = BindEncoder(Category::VideoCompressor, request.videoEncoder);
    if (!video)
        return result;
    {
        auto pages = video->QueryPropertyPages();
        for (const auto& [name, value] : request.videoOptions)
            if (!pages || !pages->SetValue(name, value))
                return result;
    }
    graph->AddFilter(video, "Video Compressor");
    result.videoRendered = builder->RenderStream(source, video, mux);
    if (request.audioEncoder.empty()) {
        result.audioRendered = builder->RenderStream(source, nullptr, mux);
    } else if (request.audioEncoder != "-") {
        FilterPtr audio = BindEncoder(Category::AudioCompressor, request.audioEncoder);
        graph->AddFilter(audio, "Audio Compressor");
        result.audioRendered = builder->RenderStream(source, audio, mux);
    }
    auto control = graph->QueryMediaControl();
    auto event = graph->QueryMediaEvent();
    auto seeking = mux->QueryMediaSeeking();
    control->Run();
    for (int second = 0; second < 120; ++second) {
        result.wait = event->WaitForCompletion(1000, result.eventCode);
        if (result.wait != WaitResult::TimedOut)
            break;
    }
    if (seeking) {
        seeking->GetDuration(result.durationHns);
        seeking->GetCurrentPosition(result.positionHns);
    }
    result.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return result;
}

std::string ProbeStream(const std::filesystem::path& file, const std::string& selector,
                        const std::string& entries, const std::string& extra)
{
    std::string output = RunCommand("ffprobe -v error " + extra + " -select_streams " + selector +
                                    " -show_entries " + entries + " -of csv=p=0 " + Quote(file))
                             .output;
    while (!output.empty() && (output.back() == '\n' || output.back() == ','))
        output.pop_back();
    return output;
}

long CountVideoFrames(const std::filesystem::path& file)
{
    const std::string count = ProbeStream(file, "v:0", "stream=nb_read_frames", "-count_frames");
    return count.empty() ? -1 : std::stol(count);
}

namespace {

std::vector<std::pair<double, double>> FrameTimes(const std::filesystem::path& file,
                                                  const std::string& selector)
{
    std::istringstream lines(
        ProbeStream(file, selector, "frame=pts_time,duration_time,pkt_duration_time"));
    std::vector<std::pair<double, double>> times;
    std::string line;
    while (std::getline(lines, line)) {
        std::vector<std::string> fields;
        std::istringstream cells(line);
        for (std::string cell; std::getline(cells, cell, ',');)
            fields.push_back(cell);
        // A frame's duration is given in one field or the other, depending on the container.
        auto number = [](const std::string& text) {
            try {
                return std::stod(text);
            } catch (const std::exception&) {
                return -1.0;
            }
        };
        if (fields.empty() || number(fields[0]) < 0)
            continue;
        double duration = fields.size() > 1 ? number(fields[1]) : -1;
        if (duration < 0 && fields.size() > 2)
            duration = number(fields[2]);
        times.emplace_back(number(fields[0]), std::max(duration, 0.0));
    }
    return times;
}

} // namespace

double FirstFrameTime(const std::filesystem::path& file, const std::string& selector)
{
    const auto times = FrameTimes(file, selector);
    return times.empty() ? -1 : times.front().first;
}

double DecodedDuration(const std::filesystem::path& file, const std::string& selector)
{
    const auto times = FrameTimes(file, selector);
    if (times.empty())
        return -1;
    return times.back().first + times.back().second - times.front().first;
}

std::string AudioPacketsMd5(const std::filesystem::path& file)
{
    return RunCommand("ffmpeg -nostdin -v error -i " + Quote(file) + " -map 0:a -c copy -f md5 -")
        .output;
}

bool DecodesCleanly(const std::filesystem::path& file)
{
    const CommandResult decoded =
        RunCommand("ffmpeg -nostdin -v error -i " + Quote(file) + " -f null - 2>&1");
    return decoded.exitCode == 0 && decoded.output.empty() && CountVideoFrames(file) > 0;
}

bool Decodes(const std::filesystem::path& file)
{
    const CommandResult decoded =
        RunCommand("ffmpeg -nostdin -v error -i " + Quote(file) + " -f null -");
    return decoded.exitCode == 0 && CountVideoFrames(file) > 0;
}

} // namespace calvex::media::test
