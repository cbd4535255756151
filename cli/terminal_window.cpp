#include "cli/terminal_window.h"

#include "res/strings.h"

namespace calvex::cli {

TerminalWindow::TerminalWindow(job::ConversionSettings settings, std::FILE* messages,
                               std::FILE* progress)
    : m_settings(std::move(settings)), m_messages(messages), m_progress(progress)
{
}

void TerminalWindow::EnableButton(job::JobButton, bool) {}

void TerminalWindow::SetStatus(const std::string& status)
{
    std::lock_guard lock(m_mutex);
    m_strStatus = status;
}

// The settings given on the command line are both the controls and the members.
void TerminalWindow::UpdateData(bool) {}

bool TerminalWindow::IsKeepAudioChecked()
{
    std::lock_guard lock(m_mutex);
    return m_settings.m_bKeepAudio == 1;
}

void TerminalWindow::MessageBox(const std::string& text)
{
    std::lock_guard lock(m_mutex);
    std::fprintf(m_messages, "%s\n", text.c_str());
    std::fflush(m_messages);
}

void TerminalWindow::SetProgressRange(int, int) {}

void TerminalWindow::SetProgressPos(int32_t position)
{
    std::lock_guard lock(m_mutex);
    // The bar's return to 0 at the end of a job tells nothing.
    if (position == 0 && m_jobEnded)
        return;
    m_jobEnded = position == 100;
    std::fprintf(m_progress, "%d%%\n", static_cast<int>(position));
    std::fflush(m_progress);
}

job::ConversionSettings TerminalWindow::GetSettings()
{
    std::lock_guard lock(m_mutex);
    return m_settings;
}

bool TerminalWindow::JobCompleted() const
{
    std::lock_guard lock(m_mutex);
    return m_strStatus == strings::kStatusCompleted;
}

} // namespace calvex::cli
