// The window operations a job needs. The main window implements them (the
// worker's calls reach its UI thread synchronously); so does the headless
// converter, for a terminal.
#pragma once

#include <cstdint>
#include <string>

#include "job/settings.h"

namespace calvex::job {

enum class JobButton { Convert, Abort, Quit, VideoProperties, AudioProperties };

class IJobWindow {
public:
    virtual ~IJobWindow() = default;
    virtual void EnableButton(JobButton button, bool enable) = 0;
    // Assigns the status member; it shows at the next members-to-controls exchange.
    virtual void SetStatus(const std::string& status) = 0;
    // true: controls to members; false: members to controls.
    virtual void UpdateData(bool saveAndValidate) = 0;
    virtual bool IsKeepAudioChecked() = 0;
    // An OK message box; returns once the user has dismissed it.
    virtual void MessageBox(const std::string& text) = 0;
    virtual void SetProgressRange(int minimum, int maximum) = 0;
    virtual void SetProgressPos(int32_t position) = 0;
    // A copy of the job settings as the members hold them now.
    virtual ConversionSettings GetSettings() = 0;
};

} // namespace calvex::job
