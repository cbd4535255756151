// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/terminal_front_end.h"

#include "cli/progress_line.h"

#include <algorithm>

namespace calvex::cli {

namespace {

const char* OutcomeWord(const job::JobOutcome& outcome)
{
    if (outcome.Completed())
        return "completed";
    return outcome.stopRequested ? "aborted" : "failed";
}

} // namespace

TerminalFrontEnd::TerminalFrontEnd(job::ConversionSettings settings, Options::Progress mode,
                                   std::FILE* out, std::FILE* err, bool errIsTerminal)
    : m_settings(std::move(settings)), m_mode(mode), m_out(out), m_err(err),
      m_errIsTerminal(errIsTerminal)
{
}

job::ConversionSettings TerminalFrontEnd::GetSettings()
{
    std::lock_guard lock(m_mutex);
    return m_settings;
}

bool TerminalFrontEnd::IsKeepAudioChecked()
{
    std::lock_guard lock(m_mutex);
    return m_settings.m_bKeepAudio == 1;
}

void TerminalFrontEnd::ShowControlState(job::JobPhase phase)
{
    std::lock_guard lock(m_mutex);
    if (phase == job::JobPhase::Running)
        m_started = std::chrono::steady_clock::now();
}

void TerminalFrontEnd::MessageBox(const std::string& text)
{
    std::lock_guard lock(m_mutex);
    EndProgressLine();
    std::fprintf(m_err, "%s\n", text.c_str());
    std::fflush(m_err);
}

void TerminalFrontEnd::ShowOutcome(const std::string& message, const std::string&)
{
    // Said with the outcome, once it is known how the job ended.
    std::lock_guard lock(m_mutex);
    m_message = message;
}

void TerminalFrontEnd::ShowProgress(const job::JobProgress& progress)
{
    std::lock_guard lock(m_mutex);
    // The bar's return to 0 after the end of a job tells nothing.
    if (m_end || m_mode == Options::Progress::Quiet)
        return;
    if (!progress.end) {
        PrintProgress(progress);
        return;
    }
    // The bar's 100 says the job ended, not how far it came.
    m_end = progress;
    m_end->percent = progress.durationHns > 0
                         ? static_cast<int32_t>(std::min<int64_t>(
                               100, (progress.positionHns * 100 + progress.durationHns / 2) /
                                        progress.durationHns))
                         : 100;
}

void TerminalFrontEnd::PrintProgress(const job::JobProgress& progress)
{
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - m_started;
    const ProgressFigures figures = FiguresOf(progress, elapsed.count());
    if (m_mode == Options::Progress::Machine) {
        std::fputs(MachineLines(figures, progress.end).c_str(), m_out);
        std::fflush(m_out);
        return;
    }
    if (m_errIsTerminal)
        std::fprintf(m_err, "\r%s\033[K", HumanLine(figures).c_str());
    else
        std::fprintf(m_err, "%s\n", HumanLine(figures).c_str());
    m_lineOpen = m_errIsTerminal;
    std::fflush(m_err);
}

void TerminalFrontEnd::EndProgressLine()
{
    if (m_lineOpen)
        std::fputc('\n', m_err);
    m_lineOpen = false;
}

void TerminalFrontEnd::OnJobEnded(const job::JobOutcome& outcome)
{
    std::lock_guard lock(m_mutex);
    m_outcome = outcome;
    // The last figures: a completed job converted the whole source; a failed
    // one's figures would only look like success.
    if (m_end && outcome.Completed())
        m_end->percent = 100;
    if (m_end && outcome.reason.empty() && m_mode != Options::Progress::Quiet)
        PrintProgress(*m_end);
    EndProgressLine();
    // Quiet: only a failure is worth a word.
    if (!m_message.empty() && (m_mode != Options::Progress::Quiet || !outcome.reason.empty()))
        std::fprintf(m_err, "%s\n", m_message.c_str());
    if (!outcome.reason.empty())
        std::fprintf(m_err, "%s\n", outcome.reason.c_str());
    std::fflush(m_err);
    if (m_mode != Options::Progress::Machine)
        return;
    std::string reason = outcome.reason;
    std::replace(reason.begin(), reason.end(), '\n', ' ');
    std::fprintf(m_out, "outcome=%s\nreason=%s\n", OutcomeWord(outcome), reason.c_str());
    std::fflush(m_out);
}

std::optional<job::JobOutcome> TerminalFrontEnd::Outcome() const
{
    std::lock_guard lock(m_mutex);
    return m_outcome;
}

} // namespace calvex::cli
