// SPDX-License-Identifier: GPL-2.0-or-later
// One automation proxy as the bus sees it: a CCalvexDlgAutoProxy attached
// to the main window, exported for the client that created it with the
// empty interface Calvex.ICalvex and the lifetime interface Calvex.Lifetime.
#pragma once

#include "app/glib_handles.h"
#include "ui/auto_proxy.h"

#include <functional>
#include <memory>
#include <string>

class wxWindow;

namespace calvex::app {

class AutoProxyObject {
public:
    // Attaches a new proxy to mainWindow and exports it at objectPath.
    // onRelease runs once, when the client calls Release or leaves the bus.
    AutoProxyObject(GDBusConnection* connection, std::string objectPath, std::string client,
                    wxWindow* mainWindow, std::function<void()> onRelease);
    // Unexports the proxy, then deletes it, which detaches it from the window.
    ~AutoProxyObject() = default;
    AutoProxyObject(const AutoProxyObject&) = delete;
    AutoProxyObject& operator=(const AutoProxyObject&) = delete;

    const std::string& ObjectPath() const { return m_strObjectPath; }

private:
    static void OnLifetimeCall(GDBusConnection*, const gchar* sender, const gchar*, const gchar*,
                               const gchar* method, GVariant*, GDBusMethodInvocation* invocation,
                               gpointer self);
    static void OnClientVanished(gpointer self);
    void RequestRelease();

    const std::string m_strObjectPath;
    const std::string m_strClient; // unique bus name of the creating client
    std::function<void()> m_onRelease;
    bool m_bReleaseRequested = false;
    // Declared before the exports so that it is deleted after they are gone.
    std::unique_ptr<ui::CCalvexDlgAutoProxy> m_pProxy;
    NodeInfoPtr m_pTypeLibrary;
    NodeInfoPtr m_pLifetime;
    ExportedInterface m_iCalvexExport;
    ExportedInterface m_lifetimeExport;
    BusNameWatch m_clientWatch;
};

} // namespace calvex::app
