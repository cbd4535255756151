#include "fakes/fake_window.h"

namespace calvex::test {

using job::JobButton;

FakeWindow::FakeWindow()
{
    for (JobButton b : {JobButton::Convert, JobButton::Abort, JobButton::Quit,
                        JobButton::VideoProperties, JobButton::AudioProperties})
        enabled[b] = true;
}

void FakeWindow::Record(const std::string& entry)
{
    std::lock_guard lock(m_mutex);
    log.push_back(entry);
}

void FakeWindow::EnableButton(JobButton button, bool enable)
{
    std::lock_guard lock(m_mutex);
    enabled[button] = enable;
    Record("enable:" + std::to_string(static_cast<int>(button)) + (enable ? ":on" : ":off"));
}

void FakeWindow::SetStatus(const std::string& status)
{
    std::lock_guard lock(m_mutex);
    m_strStatus = status;
    Record("status:" + status);
}

void FakeWindow::UpdateData(bool saveAndValidate)
{
    std::lock_guard lock(m_mutex);
    if (saveAndValidate) {
        members.m_strSourceFile = sourceEdit;
        members.m_strOutputFile = outputEdit;
        m_strStatus = statusEdit;
        members.m_bKeepAudio = keepAudioBox ? 1 : 0;
    } else {
        sourceEdit = members.m_strSourceFile;
        outputEdit = members.m_strOutputFile;
        statusEdit = m_strStatus;
        keepAudioBox = members.m_bKeepAudio == 1;
    }
    Record(saveAndValidate ? "update:save" : "update:show");
}

bool FakeWindow::IsKeepAudioChecked()
{
    std::lock_guard lock(m_mutex);
    return keepAudioBox;
}

void FakeWindow::MessageBox(const std::string& text)
{
    Record("message:" + text);
    if (onMessage)
        onMessage(text);
}

void FakeWindow::SetProgressRange(int minimum, int maximum)
{
    Record("range:" + std::to_string(minimum) + ".." + std::to_string(maximum));
}

void FakeWindow::SetProgressPos(int32_t position)
{
    std::lock_guard lock(m_mutex);
    progress = position;
    Record("pos:" + std::to_string(position));
}

job::ConversionSettings FakeWindow::GetSettings()
{
    std::lock_guard lock(m_mutex);
    return members;
}

std::vector<std::string> FakeWindow::Messages() const
{
    std::vector<std::string> messages;
    for (const auto& entry : log)
        if (entry.rfind("message:", 0) == 0)
            messages.push_back(entry.substr(8));
    return messages;
}

std::vector<int32_t> FakeWindow::Positions() const
{
    std::vector<int32_t> positions;
    for (const auto& entry : log)
        if (entry.rfind("pos:", 0) == 0)
            positions.push_back(std::stoi(entry.substr(4)));
    return positions;
}

void OpenWindow(FakeWindow& window)
{
    window.enabled[JobButton::Abort] = false;
    window.keepAudioBox = true;
    window.UpdateData(true);
    window.log.clear();
}

} // namespace calvex::test
