// SPDX-License-Identifier: GPL-2.0-or-later
#include "fakes/fake_front_end.h"

#include "fakes/fake_engine.h"

namespace calvex::test {

void FakeFrontEnd::Record(const std::string& entry)
{
    std::lock_guard lock(m_mutex);
    log.push_back(entry);
}

job::ConversionSettings FakeFrontEnd::GetSettings()
{
    std::lock_guard lock(m_mutex);
    return members;
}

job::ConversionSettings FakeFrontEnd::TakeSettings()
{
    std::lock_guard lock(m_mutex);
    members.m_bKeepAudio = keepAudioBox ? 1 : 0;
    Record("take-settings");
    return members;
}

void FakeFrontEnd::ShowControlState(job::JobPhase shown)
{
    std::lock_guard lock(m_mutex);
    phase = shown;
    Record("phase:" + std::to_string(static_cast<int>(shown)));
}

void FakeFrontEnd::ShowStatus(const std::string& text)
{
    std::lock_guard lock(m_mutex);
    status = text;
    Record("status:" + text);
}

void FakeFrontEnd::ShowStatusWithSettings(const std::string& text)
{
    std::lock_guard lock(m_mutex);
    ShowStatus(text);
    keepAudioBox = members.m_bKeepAudio == 1;
}

void FakeFrontEnd::MessageBox(const std::string& text)
{
    Record("message:" + text);
    if (onMessage)
        onMessage(text);
}

void FakeFrontEnd::ShowOutcome(const std::string& message, const std::string& reason)
{
    if (!reason.empty())
        Record("reason:" + reason);
    MessageBox(message);
}

void FakeFrontEnd::ShowProgress(const job::JobProgress& progress)
{
    Record("pos:" + std::to_string(progress.percent));
}

void FakeFrontEnd::OnJobEnded(const job::JobOutcome& outcome)
{
    std::lock_guard lock(m_mutex);
    outcomes.push_back(outcome);
    Record("ended:" + std::to_string(outcome.eventCode));
}

void FakeFrontEnd::BindVideoCompressor()
{
    slots.g_pVideoCompressor.Set(
        std::make_shared<FakeFilter>("video#" + std::to_string(++m_binds)));
    Record("bind:video");
}

void FakeFrontEnd::BindAudioCompressor()
{
    slots.g_pAudioCompressor.Set(
        std::make_shared<FakeFilter>("audio#" + std::to_string(++m_binds)));
    Record("bind:audio");
}

std::vector<std::string> FakeFrontEnd::Entries(const std::string& prefix) const
{
    std::lock_guard lock(m_mutex);
    std::vector<std::string> found;
    for (const auto& entry : log)
        if (entry.rfind(prefix, 0) == 0)
            found.push_back(entry.substr(prefix.size()));
    return found;
}

} // namespace calvex::test
