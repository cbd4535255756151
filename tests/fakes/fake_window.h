// A window that records every operation a job makes, for the job and
// worker tests.
#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "job/window.h"

namespace calvex::test {

class FakeWindow : public job::IJobWindow {
public:
    FakeWindow();

    void EnableButton(job::JobButton button, bool enable) override;
    void SetStatus(const std::string& status) override;
    void UpdateData(bool saveAndValidate) override;
    bool IsKeepAudioChecked() override;
    void MessageBox(const std::string& text) override;
    void SetProgressRange(int minimum, int maximum) override;
    void SetProgressPos(int32_t position) override;
    job::ConversionSettings GetSettings() override;

    // The controls' side: what the window shows.
    std::string sourceEdit, outputEdit, statusEdit;
    bool keepAudioBox = true;
    std::map<job::JobButton, bool> enabled;
    int32_t progress = 0;
    // The members' side.
    job::ConversionSettings members;
    std::string m_strStatus;

    // Everything in call order, e.g. "message:User Abort", "pos:100".
    std::vector<std::string> log;
    std::vector<std::string> Messages() const;
    std::vector<int32_t> Positions() const;
    // Called inside MessageBox, as a user acting while the box is up.
    std::function<void(const std::string&)> onMessage;

private:
    void Record(const std::string& entry);
    std::recursive_mutex m_mutex;
};

// Sets the five buttons and the status as the opened window has them.
void OpenWindow(FakeWindow& window);

} // namespace calvex::test
