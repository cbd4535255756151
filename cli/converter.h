// SPDX-License-Identifier: GPL-2.0-or-later
// One conversion from the command line, through the same job control and
// worker as the window.
#pragma once

#include <atomic>
#include <cstdio>

#include "cli/options.h"
#include "cli/terminal_front_end.h"
#include "job/controller.h"
#include "job/job_slots.h"
#include "job/platform.h"
#include "media/compressor_list.h"
#include "media/encoder_settings.h"

namespace calvex::cli {

// Prints both encoder lists as the window shows them, with their short names.
void PrintCatalogue(media::IMediaEngine& engine, std::FILE* out);

class Converter : public job::ICompressorBinder {
public:
    Converter(media::IMediaEngine& engine, TerminalFrontEnd& frontEnd, job::JobSlots& slots);

    // Selects and binds the encoders the options name, with their settings and
    // preset; false, with error set, for a name, setting or value that no
    // listed encoder takes.
    bool SelectEncoders(const Options& options, std::string& error);

    // Runs the job to its end; interrupted turning true aborts it. Returns
    // the exit status from the job's outcome: 0 completed, 130 stopped by
    // Ctrl-C, 1 refused or failed.
    int Run(const std::atomic<bool>& interrupted);

    void BindVideoCompressor() override;
    void BindAudioCompressor() override;

private:
    media::IMediaEngine& m_engine;
    TerminalFrontEnd& m_frontEnd;
    job::JobSlots& m_slots;
    media::SortedCompressorList m_videoList;
    media::SortedCompressorList m_audioList;
    job::JobRunner m_runner;
    job::JobController m_controller;
};

} // namespace calvex::cli
