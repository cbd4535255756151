// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/terminal_front_end.h"

namespace calvex::cli {

TerminalFrontEnd::TerminalFrontEnd(job::ConversionSettings settings, std::FILE* messages,
                                   std::FILE* progress)
    : m_settings(std::move(settings)), m_messages(messages), m_progress(progress)
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

void TerminalFrontEnd::MessageBox(const std::string& text)
{
    std::lock_guard lock(m_mutex);
    std::fprintf(m_messages, "%s\n", text.c_str());
    std::fflush(m_messages);
}

void TerminalFrontEnd::SetProgressPos(int32_t percent)
{
    std::lock_guard lock(m_mutex);
    // The bar's return to 0 at the end of a job tells nothing.
    if (percent == 0 && m_barFull)
        return;
    m_barFull = percent == 100;
    std::fprintf(m_progress, "%d%%\n", static_cast<int>(percent));
    std::fflush(m_progress);
}

void TerminalFrontEnd::OnJobEnded(const job::JobOutcome& outcome)
{
    std::lock_guard lock(m_mutex);
    m_outcome = outcome;
}

std::optional<job::JobOutcome> TerminalFrontEnd::Outcome() const
{
    std::lock_guard lock(m_mutex);
    return m_outcome;
}

} // namespace calvex::cli
