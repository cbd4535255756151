// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/converter.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "media/catalogue.h"

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

std::string SelectedKey(const media::ICompressorList& list)
{
    const int selected = list.GetCurSel();
    return selected < 0 ? std::string() : list.GetItemKey(selected);
}

// Sets each KEY=VALUE on the bound encoder, as its Properties sheet does.
bool ApplySettings(const media::FilterPtr& filter, const std::string& encoder,
                   const Settings& settings, std::string& error)
{
    const auto pages = filter ? filter->QueryPropertyPages() : nullptr;
    for (const auto& [key, value] : settings) {
        std::vector<media::EncoderSetting> known = pages ? pages->GetPages() : decltype(known){};
        const bool exists =
            std::any_of(known.begin(), known.end(),
                        [&](const media::EncoderSetting& s) { return s.name == key; });
        if (!exists) {
            error = "the encoder " + encoder + " has no setting named " + key;
            return false;
        }
        if (!pages->SetValue(key, value)) {
            error = "the encoder " + encoder + " refused the value \"" + value + "\" for " + key;
            return false;
        }
    }
    return true;
}

bool ApplyPreset(const media::FilterPtr& filter, const std::string& encoder,
                 const std::string& preset, std::string& error)
{
    if (preset.empty())
        return true;
    const auto dialog = filter ? filter->QueryCodecDialog() : nullptr;
    if (!dialog) {
        error = "the encoder " + encoder + " has no presets";
        return false;
    }
    const std::vector<std::string> presets = dialog->Presets();
    if (std::find(presets.begin(), presets.end(), preset) == presets.end() ||
        !dialog->ChoosePreset(preset)) {
        error = "the encoder " + encoder + " has no preset " + preset + " (its presets:";
        for (const std::string& name : presets)
            error += " " + name;
        error += ")";
        return false;
    }
    return true;
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

Converter::Converter(media::IMediaEngine& engine, TerminalFrontEnd& frontEnd, job::JobSlots& slots)
    : m_engine(engine), m_frontEnd(frontEnd), m_slots(slots),
      m_runner(engine, frontEnd, *this, slots), m_controller(frontEnd, m_runner)
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
    const std::string video = SelectedKey(m_videoList);
    const std::string audio = SelectedKey(m_audioList);
    return ApplySettings(m_slots.g_pVideoCompressor.Get(), video, options.videoSettings, error) &&
           ApplyPreset(m_slots.g_pVideoCompressor.Get(), video, options.preset, error) &&
           ApplySettings(m_slots.g_pAudioCompressor.Get(), audio, options.audioSettings, error);
}

int Converter::Run(const std::atomic<int>& stopSignal)
{
    // The shells' status of a process a signal ended.
    const auto stoppedStatus = [&] { return 128 + stopSignal.load(); };
    if (stopSignal.load() != 0)
        return stoppedStatus(); // nothing written, an existing output left as it was
    m_controller.OnConvert();
    bool aborted = false;
    while (m_runner.IsWorkerRunning()) {
        if (stopSignal.load() != 0 && !aborted) {
            aborted = true;
            m_controller.OnAbort();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    m_runner.WaitForIdleWorker();
    const std::optional<job::JobOutcome> outcome = m_frontEnd.Outcome();
    if (!outcome)
        return 1; // refused: the message has been shown
    if (outcome->Completed())
        return 0; // also when the signal came as the job was done anyway
    return outcome->stopRequested ? stoppedStatus() : 1;
}

void Converter::BindVideoCompressor()
{
    media::BindCompressor(m_engine, media::Category::VideoCompressor, m_videoList,
                          m_slots.g_pVideoCompressor);
}

void Converter::BindAudioCompressor()
{
    media::BindCompressor(m_engine, media::Category::AudioCompressor, m_audioList,
                          m_slots.g_pAudioCompressor);
}

} // namespace calvex::cli
