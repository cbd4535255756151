// SPDX-License-Identifier: GPL-2.0-or-later
// The end of the window program when it is told to stop: SIGTERM (the
// session ends, systemd, kill) and SIGHUP (its terminal closed). The running
// job is aborted as by Abort, every dialog and message box is closed, and
// the program ends once its worker has ended.
#pragma once

#include <functional>
#include <vector>

#include <glib.h>
#include <wx/modalhook.h>

namespace calvex::app {

// The modal dialogs and message boxes open now. Once closing, it closes
// those and answers every further one with Cancel without showing it (the
// outcome box of the job being aborted, a confirmation).
class ModalDialogCloser : public wxModalDialogHook {
public:
    ModalDialogCloser() { Register(); }

    // Closes the open dialogs as their Cancel would, and every later one.
    void CloseAllFromNowOn();

protected:
    int Enter(wxDialog* dialog) override;
    void Exit(wxDialog* dialog) override;

private:
    std::vector<wxDialog*> m_open; // innermost last
    bool m_closing = false;
};

// Watches for SIGTERM and SIGHUP, and calls onStop with the signal's number
// on the UI thread when the first one comes. The watch then ends: a second
// signal has its default action and ends the program at once, should the
// orderly end hang. SIGHUP ignored when the watch starts (nohup) stays
// ignored.
class StopSignalWatch {
public:
    explicit StopSignalWatch(std::function<void(int)> onStop);
    ~StopSignalWatch() { Stop(); }
    StopSignalWatch(const StopSignalWatch&) = delete;
    StopSignalWatch& operator=(const StopSignalWatch&) = delete;

private:
    struct Source {
        StopSignalWatch* watch;
        int signalNumber;
        guint id = 0;
    };
    static gboolean OnSignal(gpointer source);
    void Stop();

    std::function<void(int)> m_onStop;
    std::vector<Source> m_sources;
};

} // namespace calvex::app
