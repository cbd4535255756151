// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/terminal_front_end.h"

#include "cli/progress_line.h"

#include <algorithm>
#include <cmath>

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

void TerminalFrontEnd::StartFile(job::ConversionSettings settings, const BatchPlace& place)
{
    std::lock_guard lock(m_mutex);
    m_settings = std::move(settings);
    m_place = place;
    m_end.reset();
    m_message.clear();
    m_outcome.reset();
    m_lastMessage.clear();
    m_convertedSeconds = 0;
}

void TerminalFrontEnd::MessageBox(const std::string& text)
{
    std::lock_guard lock(m_mutex);
    m_lastMessage = text;
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
    if (m_end)
        return;
    if (progress.positionHns > 0)
        m_convertedSeconds = static_cast<double>(progress.positionHns) / 1e7;
    if (m_mode == Options::Progress::Quiet)
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
    double batchLeft = -1;
    if (m_place) {
        const std::chrono::duration<double> batchElapsed =
            std::chrono::steady_clock::now() - m_place->started;
        batchLeft =
            m_place->clock->LeftSeconds(m_place->index, figures.doneSeconds, batchElapsed.count());
    }
    if (m_mode == Options::Progress::Machine) {
        std::string place = MachinePlace();
        if (m_place)
            place +=
                "batch_eta=" + (batchLeft >= 0 ? std::to_string(std::lround(batchLeft)) : "N/A") +
                "\n";
        std::fputs(MachineLines(figures, progress.end, place).c_str(), m_out);
        std::fflush(m_out);
        return;
    }
    std::string line = HumanLine(figures);
    if (m_place)
        line = BatchLine(m_place->index, m_place->count, line, batchLeft);
    if (m_errIsTerminal)
        std::fprintf(m_err, "\r%s\033[K", line.c_str());
    else
        std::fprintf(m_err, "%s\n", line.c_str());
    m_lineOpen = m_errIsTerminal;
    std::fflush(m_err);
}

std::string TerminalFrontEnd::MachinePlace() const
{
    if (!m_place)
        return {};
    std::string file = m_place->file;
    std::replace(file.begin(), file.end(), '\n', ' ');
    return "file=" + file + "\nindex=" + std::to_string(m_place->index + 1) +
           "\ncount=" + std::to_string(m_place->count) + "\n";
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
    std::fprintf(m_out, "%soutcome=%s\nreason=%s\n", MachinePlace().c_str(), OutcomeWord(outcome),
                 reason.c_str());
    std::fflush(m_out);
}

std::optional<job::JobOutcome> TerminalFrontEnd::Outcome() const
{
    std::lock_guard lock(m_mutex);
    return m_outcome;
}

std::string TerminalFrontEnd::LastMessage() const
{
    std::lock_guard lock(m_mutex);
    return m_lastMessage;
}

double TerminalFrontEnd::ConvertedSeconds() const
{
    std::lock_guard lock(m_mutex);
    return m_convertedSeconds;
}

} // namespace calvex::cli
