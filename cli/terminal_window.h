// The job's window operations for a terminal: messages on stdout, the
// percent on stderr, the buttons and status kept to tell how the job ended.
#pragma once

#include <cstdio>
#include <mutex>

#include "job/window.h"

namespace calvex::cli {

class TerminalWindow : public job::IJobWindow {
public:
    TerminalWindow(job::ConversionSettings settings, std::FILE* messages, std::FILE* progress);

    void EnableButton(job::JobButton button, bool enable) override;
    void SetStatus(const std::string& status) override;
    void UpdateData(bool saveAndValidate) override;
    bool IsKeepAudioChecked() override;
    void MessageBox(const std::string& text) override;
    void SetProgressRange(int minimum, int maximum) override;
    void SetProgressPos(int32_t position) override;
    job::ConversionSettings GetSettings() override;

    // True when the last job ended with its "completed" status.
    bool JobCompleted() const;

private:
    mutable std::mutex m_mutex;
    job::ConversionSettings m_settings;
    std::string m_strStatus;
    std::FILE* m_messages;
    std::FILE* m_progress;
    bool m_jobEnded = false;
};

} // namespace calvex::cli
