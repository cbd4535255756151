// SPDX-License-Identifier: GPL-2.0-or-later
// A front end that records what a job shows, and a binder that makes new
// numbered compressors, for the job and converter tests.
#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "job/front_end.h"
#include "job/job_slots.h"

namespace calvex::test {

class FakeFrontEnd : public job::IJobFrontEnd, public job::ICompressorBinder {
public:
    explicit FakeFrontEnd(job::JobSlots& slots) : slots(slots) {}

    job::ConversionSettings GetSettings() override;
    job::ConversionSettings TakeSettings() override;
    bool IsKeepAudioChecked() override { return keepAudioBox; }
    void ShowControlState(job::JobPhase phase) override;
    void ShowStatus(const std::string& status) override;
    // Also records "shown:" with the members' keep-audio value.
    void ShowStatusWithSettings(const std::string& status) override;
    void MessageBox(const std::string& text) override;
    void ShowOutcome(const std::string& message, const std::string& reason) override;
    void ShowProgress(const job::JobProgress& progress) override;
    void OnJobEnded(const job::JobOutcome& outcome) override;
    void BindVideoCompressor() override;
    void BindAudioCompressor() override;

    // Only the entries starting with prefix ("message:", "pos:", ...), without it.
    std::vector<std::string> Entries(const std::string& prefix) const;

    job::JobSlots& slots;
    job::ConversionSettings members;
    bool keepAudioBox = true;
    job::JobPhase phase = job::JobPhase::Idle;
    std::string status;
    std::vector<job::JobOutcome> outcomes;
    // Everything in call order: "message:...", "reason:...", "status:...",
    // "phase:N", "pos:N", "bind:video".
    std::vector<std::string> log;
    // Called inside MessageBox, as a user acting while the box is up.
    std::function<void(const std::string&)> onMessage;

private:
    void Record(const std::string& entry);
    mutable std::recursive_mutex m_mutex;
    int m_binds = 0;
};

} // namespace calvex::test
