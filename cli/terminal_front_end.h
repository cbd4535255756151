// SPDX-License-Identifier: GPL-2.0-or-later
// The job's front end for a terminal: what it says on stderr (messages, the
// outcome and its reason, the progress once a second), key=value progress on
// stdout when asked for, and the job's outcome kept for the exit status.
#pragma once

#include <chrono>
#include <cstdio>
#include <mutex>
#include <optional>

#include "cli/batch_clock.h"
#include "cli/options.h"
#include "job/front_end.h"

namespace calvex::cli {

// Where the current file stands in a batch.
struct BatchPlace {
    std::string file; // its source
    size_t index = 0; // from 0
    size_t count = 0;
    const BatchClock* clock = nullptr;
    std::chrono::steady_clock::time_point started; // the batch's start
};

class TerminalFrontEnd : public job::IJobFrontEnd {
public:
    // out and err stand for stdout and stderr; errIsTerminal: the progress
    // line is rewritten in place rather than repeated.
    TerminalFrontEnd(job::ConversionSettings settings, Options::Progress mode, std::FILE* out,
                     std::FILE* err, bool errIsTerminal);

    // The settings given on the command line are both the controls and the members.
    job::ConversionSettings GetSettings() override;
    job::ConversionSettings TakeSettings() override { return GetSettings(); }
    bool IsKeepAudioChecked() override;
    // A terminal has no buttons and no status line; a job's start starts its clock.
    void ShowControlState(job::JobPhase phase) override;
    void ShowStatus(const std::string&) override {}
    void ShowStatusWithSettings(const std::string&) override {}
    void MessageBox(const std::string& text) override;
    void ShowOutcome(const std::string& message, const std::string& reason) override;
    void ShowProgress(const job::JobProgress& progress) override;
    void OnJobEnded(const job::JobOutcome& outcome) override;

    // The outcome of the last job; empty while none has ended.
    std::optional<job::JobOutcome> Outcome() const;
    // The text of the last message shown (why a job was refused).
    std::string LastMessage() const;
    // The source seconds the last job converted.
    double ConvertedSeconds() const;

    // The next job of a batch: its settings and its place.
    void StartFile(job::ConversionSettings settings, const BatchPlace& place);

private:
    void EndProgressLine();
    void PrintProgress(const job::JobProgress& progress);
    // "file=...", "index=", "count=" lines of a batch's file; empty for one file.
    std::string MachinePlace() const;

    mutable std::mutex m_mutex;
    job::ConversionSettings m_settings;
    Options::Progress m_mode;
    std::FILE* m_out;
    std::FILE* m_err;
    bool m_errIsTerminal;
    std::chrono::steady_clock::time_point m_started = std::chrono::steady_clock::now();
    bool m_lineOpen = false;               // a progress line waits to be rewritten
    std::optional<job::JobProgress> m_end; // where the job ended, shown with its outcome
    std::string m_message;                 // the outcome's message
    std::optional<job::JobOutcome> m_outcome;
    std::string m_lastMessage;
    double m_convertedSeconds = 0;
    std::optional<BatchPlace> m_place; // in a batch
};

} // namespace calvex::cli
