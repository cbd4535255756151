// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/converter.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <thread>

#include "media/catalogue.h"

namespace calvex::cli {

namespace {

// The preset of the encoders that can write for a DVD player, a TV or a car:
// their Player setting.
constexpr const char* kStandalonePlayerPreset = "standalone-player";

// Where the files of each encoder of the category play, by its key.
std::map<std::string, std::string> WherePlays(media::IMediaEngine& engine, media::Category category)
{
    std::map<std::string, std::string> where;
    for (const media::MonikerPtr& moniker :
         engine.CreateDeviceEnumerator()->CreateClassEnumerator(category)) {
        const media::FilterPtr filter = moniker->BindToObject();
        const auto pages = filter ? filter->QueryPropertyPages() : nullptr;
        if (pages && !pages->WherePlays().empty())
            where[moniker->Key()] = pages->WherePlays();
    }
    return where;
}

// Each encoder by key and name, and where its files play below it.
void PrintList(media::IMediaEngine& engine, media::Category category,
               const media::ICompressorList& list, const char* title, std::FILE* out)
{
    const std::map<std::string, std::string> where = WherePlays(engine, category);
    std::fprintf(out, "%s\n", title);
    for (int i = 0; i < list.GetCount(); ++i) {
        const std::string key = list.GetItemKey(i);
        std::fprintf(out, "  %-20s %s\n", key.c_str(), list.GetLBText(i).c_str());
        if (const auto found = where.find(key); found != where.end())
            std::fprintf(out, "  %-20s   plays on: %s\n", "", found->second.c_str());
    }
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
        if (!exists && key == "targetsize") {
            error = "the encoder " + encoder +
                    " cannot aim at a file size (mpeg4, libxvid, libx264, mpeg1video and "
                    "mpeg2video can)";
            return false;
        }
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
    if (preset == kStandalonePlayerPreset) {
        const auto pages = filter ? filter->QueryPropertyPages() : nullptr;
        if (pages && pages->SetValue("player", "standalone"))
            return true;
        error = "the encoder " + encoder +
                " does not write for standalone players (mpeg4 and libxvid do)";
        return false;
    }
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
    PrintList(engine, media::Category::VideoCompressor, video, "Video compressors:", out);
    PrintList(engine, media::Category::AudioCompressor, audio, "Audio compressors:", out);
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
