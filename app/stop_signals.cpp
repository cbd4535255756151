// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/stop_signals.h"

#include <algorithm>
#include <csignal>

#include <glib-unix.h>
#include <gtk/gtk.h>
#include <wx/dialog.h>

namespace calvex::app {

void ModalDialogCloser::CloseAllFromNowOn()
{
    m_closing = true;
    // The innermost first: its loop runs inside those of the others.
    for (auto open = m_open.rbegin(); open != m_open.rend(); ++open) {
        wxDialog* dialog = *open;
        if (dialog->IsModal()) {
            dialog->EndModal(wxID_CANCEL);
            continue;
        }
        // A message box on GTK is the toolkit's own dialog, run by
        // gtk_dialog_run() outside wx's modal loop: it takes GTK's Cancel.
        GtkWidget* widget = dialog->GetHandle();
        if (widget && GTK_IS_DIALOG(widget))
            gtk_dialog_response(GTK_DIALOG(widget), GTK_RESPONSE_CANCEL);
    }
}

int ModalDialogCloser::Enter(wxDialog* dialog)
{
    if (m_closing)
        return wxID_CANCEL;
    // A file dialog on GTK comes here twice, through its ShowModal and wx's.
    if (std::find(m_open.begin(), m_open.end(), dialog) == m_open.end())
        m_open.push_back(dialog);
    return wxID_NONE;
}

// Also called for dialogs that another hook answered before this one saw them.
void ModalDialogCloser::Exit(wxDialog* dialog)
{
    m_open.erase(std::remove(m_open.begin(), m_open.end(), dialog), m_open.end());
}

// GLib's signal sources, rather than a handler of our own and a self-pipe:
// the program already runs on GLib, whose handler does only what a signal
// handler may (it wakes the main context up), and wxGTK runs GLib's default
// main context in every loop of the UI thread, the modal ones and GTK's
// message boxes included. So the callback runs on the UI thread whatever
// loop is running when the signal comes.
StopSignalWatch::StopSignalWatch(std::function<void(int)> onStop) : m_onStop(std::move(onStop))
{
    struct sigaction hangUp {};
    const bool hangUpIgnored =
        sigaction(SIGHUP, nullptr, &hangUp) == 0 && hangUp.sa_handler == SIG_IGN;
    m_sources.reserve(2);
    m_sources.push_back({this, SIGTERM});
    if (!hangUpIgnored)
        m_sources.push_back({this, SIGHUP});
    for (Source& source : m_sources)
        source.id = g_unix_signal_add(source.signalNumber, &StopSignalWatch::OnSignal, &source);
}

gboolean StopSignalWatch::OnSignal(gpointer data)
{
    auto& source = *static_cast<Source*>(data);
    StopSignalWatch& watch = *source.watch;
    const int signalNumber = source.signalNumber;
    // Removing the sources gives both signals back their default action.
    source.id = 0;
    watch.Stop();
    watch.m_onStop(signalNumber);
    return G_SOURCE_REMOVE;
}

void StopSignalWatch::Stop()
{
    for (Source& source : m_sources) {
        if (source.id != 0)
            g_source_remove(source.id);
        source.id = 0;
    }
}

} // namespace calvex::app
