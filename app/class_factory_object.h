// SPDX-License-Identifier: GPL-2.0-or-later
// The class factory on the session bus: the object /Calvex/Application
// with Calvex.ClassFactory.CreateInstance() -> o, offered under the bus name
// Calvex.Application. It serves one client: after its first creation it
// gives up the name, so the bus starts a new instance for the next client.
#pragma once

#include "app/auto_proxy_object.h"
#include "app/glib_handles.h"

#include <functional>
#include <memory>

namespace calvex::app {

class ClassFactoryObject {
public:
    // Exports the factory and asks for the bus name. onProxyReleased runs on
    // the UI thread after the client's proxy has been released and deleted.
    ClassFactoryObject(GDBusConnection* connection, std::function<void()> onProxyReleased);
    ~ClassFactoryObject() = default;
    ClassFactoryObject(const ClassFactoryObject&) = delete;
    ClassFactoryObject& operator=(const ClassFactoryObject&) = delete;

private:
    static void OnFactoryCall(GDBusConnection*, const gchar* sender, const gchar*, const gchar*,
                              const gchar* method, GVariant*, GDBusMethodInvocation* invocation,
                              gpointer self);
    void CreateInstance(const char* client, GDBusMethodInvocation* invocation);
    void ReleaseProxy();

    GDBusConnection* m_pConnection; // not owning: the application holds the bus
    std::function<void()> m_onProxyReleased;
    std::unique_ptr<AutoProxyObject> m_pProxyObject;
    bool m_bServed = false; // a creation has been made; the factory is single use
    NodeInfoPtr m_pFactoryInfo;
    ExportedInterface m_factoryExport;
    OwnedBusName m_busName;
};

} // namespace calvex::app
