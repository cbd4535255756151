// SPDX-License-Identifier: GPL-2.0-or-later
// The job's front end for a terminal: messages on stdout, the percent on
// stderr, and the job's outcome kept for the exit status.
#pragma once

#include <cstdio>
#include <mutex>
#include <optional>

#include "job/front_end.h"

namespace calvex::cli {

class TerminalFrontEnd : public job::IJobFrontEnd {
public:
    TerminalFrontEnd(job::ConversionSettings settings, std::FILE* messages, std::FILE* progress);

    // The settings given on the command line are both the controls and the members.
    job::ConversionSettings GetSettings() override;
    job::ConversionSettings TakeSettings() override { return GetSettings(); }
    bool IsKeepAudioChecked() override;
    // A terminal has no buttons and no status line.
    void ShowControlState(job::JobPhase) override {}
    void ShowStatus(const std::string&) override {}
    void MessageBox(const std::string& text) override;
    void SetProgressPos(int32_t percent) override;
    void OnJobEnded(const job::JobOutcome& outcome) override;

    // The outcome of the last job; empty while none has ended.
    std::optional<job::JobOutcome> Outcome() const;

private:
    mutable std::mutex m_mutex;
    job::ConversionSettings m_settings;
    std::FILE* m_messages;
    std::FILE* m_progress;
    bool m_barFull = false;
    std::optional<job::JobOutcome> m_outcome;
};

} // namespace calvex::cli
