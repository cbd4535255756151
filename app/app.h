// SPDX-License-Identifier: GPL-2.0-or-later
// The application object: start-up in its four modes, and the end of the
// program when the main window ends.
#pragma once

#include "app/class_factory_object.h"
#include "app/glib_handles.h"
#include "app/stop_signals.h"
#include "job/job_slots.h"

#include <wx/app.h>

#include <memory>
#include <string>
#include <vector>

namespace calvex::app {

class CCalvexApp : public wxApp {
public:
    bool OnInit() override;
    int OnRun() override;
    int OnExit() override;

private:
    std::vector<std::string> Arguments() const;
    bool ConnectAutomationRuntime();
    void OfferClassFactory();
    void RunMainWindow();
    void CloseMainWindow();
    void EndOnStopSignal(int signalNumber);

    GObjectPtr<GDBusConnection> m_pSessionBus; // only in server mode
    std::unique_ptr<ClassFactoryObject> m_pClassFactory;
    bool m_bWindowRuns = false;
    // The compressors and the jobs' graphs of the one main window.
    job::JobSlots m_jobSlots;
    std::unique_ptr<ModalDialogCloser> m_pDialogCloser;
    std::unique_ptr<StopSignalWatch> m_pStopSignals;
};

} // namespace calvex::app
