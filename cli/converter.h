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

    // Runs the job to its end; stopSignal turning non-zero aborts it, as
    // Abort does in the window. Returns the exit status from the job's
    // outcome: 0 completed, 128 + the signal's number when stopped by one
    // (130 Ctrl-C, 143 SIGTERM, 129 SIGHUP), 1 refused or failed. A signal
    // that came before the job started stops it from starting.
    int Run(const std::atomic<int>& stopSignal);

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
