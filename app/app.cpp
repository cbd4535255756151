// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/app.h"

#include <cstdio>
#include <cstring>

#include "app/command_line.h"
#include "app/registration.h"
#include "media/ffmpeg/ffmpeg_engine.h"
#include "res/strings.h"
#include "ui/main_dialog.h"
#include "ui/message_box.h"

namespace calvex::app {

// wxApp::OnInit is not called: all it does is run wx's own option parser,
// which would refuse the framework's switches ("-Register"). main() has
// already done the starts without a window (registering, unregistering).
bool CCalvexApp::OnInit()
{
    // Before the window can start a job: SIGTERM and SIGHUP end the program
    // in order, as closing the window does.
    m_pDialogCloser = std::make_unique<ModalDialogCloser>();
    m_pStopSignals = std::make_unique<StopSignalWatch>(
        [this](int signalNumber) { EndOnStopSignal(signalNumber); });
    if (ChooseStartMode(ParseCommandLine(Arguments())) == StartMode::Server) {
        if (!ConnectAutomationRuntime()) {
            ui::ShowMessageBox(nullptr, strings::kOleInitFailed, wxOK);
            return true;
        }
        OfferClassFactory();
    } else {
        RegisterServer(RunningProgramPath(), UserDataHome());
    }
    RunMainWindow();
    return true;
}

// Runs the event loop only when a window was made; the status is 0 however
// the run ends.
int CCalvexApp::OnRun()
{
    if (m_bWindowRuns)
        wxApp::OnRun();
    return 0;
}

// Gives up the bus name and the factory, and sends any answer still queued
// (a client's Release) before the process ends.
int CCalvexApp::OnExit()
{
    m_pStopSignals.reset();
    m_pDialogCloser.reset();
    m_pClassFactory.reset();
    if (m_pSessionBus)
        g_dbus_connection_flush_sync(m_pSessionBus.get(), nullptr, nullptr);
    m_pSessionBus.reset();
    return wxApp::OnExit();
}

std::vector<std::string> CCalvexApp::Arguments() const
{
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.push_back(argv[i].ToStdString());
    return arguments;
}

// The automation runtime here is the session bus, needed in server mode only.
bool CCalvexApp::ConnectAutomationRuntime()
{
    g_autoptr(GError) error = nullptr;
    m_pSessionBus.reset(g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error));
    if (!m_pSessionBus)
        return false;
    // A bus that goes away must not kill a running job: its client is gone
    // then, which releases the proxy and ends the program in order.
    g_dbus_connection_set_exit_on_close(m_pSessionBus.get(), FALSE);
    return true;
}

void CCalvexApp::OfferClassFactory()
{
    m_pClassFactory =
        std::make_unique<ClassFactoryObject>(m_pSessionBus.get(), [this] { CloseMainWindow(); });
}

// The window runs in the application's own loop, not modally: hiding it
// while a proxy is attached must not end the program. The program ends when
// the window is destroyed.
void CCalvexApp::RunMainWindow()
{
    auto* dialog = new ui::CCalvexDlg(media::CreateFfmpegEngine(), m_jobSlots);
    SetTopWindow(dialog);
    dialog->Show();
    m_bWindowRuns = true;
}

// After the client's proxy is gone, the (hidden) window closes for real.
void CCalvexApp::CloseMainWindow()
{
    if (wxWindow* window = GetTopWindow())
        window->Close(true);
    else
        ExitMainLoop();
}

// A stop signal ends the program even while a client's proxy is attached
// (closing would only hide the window) and while a dialog is open: the
// dialogs close, a running job is aborted, and the window goes once its
// worker has ended. The status stays 0, as for any other end of the window.
void CCalvexApp::EndOnStopSignal(int signalNumber)
{
    std::fprintf(stderr, "calvex: %s, ending\n", strsignal(signalNumber));
    m_pDialogCloser->CloseAllFromNowOn();
    if (auto* window = dynamic_cast<ui::CCalvexDlg*>(GetTopWindow()))
        window->EndOnSignal();
    else
        ExitMainLoop();
}

} // namespace calvex::app
