#include "cli/converter.h"

#include <chrono>
#include <thread>

#include "media/graph_slots.h"

namespace calvex::cli {

namespace {

void PrintList(const media::ICompressorList& list, const char* title, std::FILE* out)
{
    std::fprintf(out, "%s\n", title);
    for (int i = 0; i < list.GetCount(); ++i)
        std::fprintf(out, "  %-20s %s\n", list.GetItemKey(i).c_str(), list.GetLBText(i).c_str());
}

// Selects the entry whose text or key is name; an empty name keeps entry 0.
bool SelectByName(media::ICompressorList& list, const std::string& name)
{
    if (name.empty())
        return true;
    for (int i = 0; i < list.GetCount(); ++i) {
        if (list.GetItemKey(i) == name || list.GetLBText(i) == name) {
            list.SetCurSel(i);
            return true;
        }
    }
    return false;
}

} // namespace

void PrintCatalogue(media::IMediaEngine& engine, std::FILE* out)
{
    media::SortedCompressorList video;
    media::SortedCompressorList audio;
    media::FillCompressors(engine, media::Category::VideoCompressor, video);
    media::FillCompressors(engine, media::Category::AudioCompressor, audio);
    PrintList(video, "Video compressors:", out);
    PrintList(audio, "Audio compressors:", out);
}

Converter::Converter(media::IMediaEngine& engine, TerminalWindow& window)
    : m_engine(engine), m_window(window), m_worker(engine, window, *this, m_state),
      m_controller(window, *this, m_state)
{
    media::FillCompressors(engine, media::Category::VideoCompressor, m_videoList);
    media::FillCompressors(engine, media::Category::AudioCompressor, m_audioList);
}

bool Converter::SelectEncoders(const Options& options, std::string& error)
{
    if (!SelectByName(m_videoList, options.videoEncoder)) {
        error = "no video encoder named " + options.videoEncoder + " (see --list)";
        return false;
    }
    if (!SelectByName(m_audioList, options.audioEncoder)) {
        error = "no audio encoder named " + options.audioEncoder + " (see --list)";
        return false;
    }
    BindVideoCompressor();
    BindAudioCompressor();
    return true;
}

int Converter::Run(const std::atomic<bool>& interrupted)
{
    m_controller.OnConvert();
    if (!m_started)
        return 1; // refused: the message has been shown
    bool aborted = false;
    while (m_worker.IsRunning()) {
        if (interrupted && !aborted) {
            aborted = true;
            m_controller.OnAbort();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    m_worker.Join();
    if (m_window.JobCompleted())
        return 0;             // also when Ctrl-C came as the job was done anyway
    return aborted ? 130 : 1; // 130: the shell's status for a run ended by Ctrl-C
}

void Converter::BindVideoCompressor()
{
    media::BindCompressor(m_engine, media::Category::VideoCompressor, m_videoList,
                          media::g_pVideoCompressor);
}

void Converter::BindAudioCompressor()
{
    media::BindCompressor(m_engine, media::Category::AudioCompressor, m_audioList,
                          media::g_pAudioCompressor);
}

void Converter::DeleteFile(const std::string& path)
{
    job::DeleteOutputFile(path);
}

bool Converter::WaitForIdleWorker()
{
    m_worker.Join(); // a terminal has no events to handle meanwhile
    return true;
}

void Converter::StartWorker(const job::ConversionSettings& settings)
{
    m_started = true;
    m_worker.Start(settings);
}

void Converter::StopGraph()
{
    media::RequestGraphStop();
}

} // namespace calvex::cli
