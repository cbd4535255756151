// One conversion from the command line, through the same job control and
// worker as the window.
#pragma once

#include <atomic>
#include <cstdio>

#include "cli/options.h"
#include "cli/terminal_window.h"
#include "job/controller.h"
#include "media/catalogue.h"
#include "media/worker.h"

namespace calvex::cli {

// Prints both encoder lists as the window shows them, with their short names.
void PrintCatalogue(media::IMediaEngine& engine, std::FILE* out);

class Converter : public media::ICompressorBinder, public job::IJobPlatform {
public:
    Converter(media::IMediaEngine& engine, TerminalWindow& window);

    // Selects the encoders the options name; false, with error set, for a name
    // that no listed encoder has.
    bool SelectEncoders(const Options& options, std::string& error);

    // Runs the job to its end; interrupted turning true aborts it. Returns
    // the exit status: 0 only when the job completed.
    int Run(const std::atomic<bool>& interrupted);

    void BindVideoCompressor() override;
    void BindAudioCompressor() override;

    void DeleteFile(const std::string& path) override;
    bool WaitForIdleWorker() override;
    void StartWorker(const job::ConversionSettings& settings) override;
    void StopGraph() override;

private:
    media::IMediaEngine& m_engine;
    TerminalWindow& m_window;
    media::SortedCompressorList m_videoList;
    media::SortedCompressorList m_audioList;
    job::JobState m_state;
    media::ConversionWorker m_worker;
    job::JobController m_controller;
    bool m_started = false;
};

} // namespace calvex::cli
