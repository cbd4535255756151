// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/class_factory_object.h"

#include "app/identities.h"

#include <wx/app.h>

#include <string>

namespace calvex::app {
namespace {

constexpr const char* kFactoryXml = "<node>"
                                    "  <interface name='Calvex.ClassFactory'>"
                                    "    <method name='CreateInstance'>"
                                    "      <arg name='instance' type='o' direction='out'/>"
                                    "    </method>"
                                    "  </interface>"
                                    "</node>";

} // namespace

ClassFactoryObject::ClassFactoryObject(GDBusConnection* connection,
                                       std::function<void()> onProxyReleased)
    : m_pConnection(connection), m_onProxyReleased(std::move(onProxyReleased)),
      m_pFactoryInfo(ParseNodeInfo(kFactoryXml)),
      m_factoryExport(connection, kFactoryObjectPath,
                      g_dbus_node_info_lookup_interface(m_pFactoryInfo.get(), kFactoryInterface),
                      MethodCallVTable<&ClassFactoryObject::OnFactoryCall>(), this),
      // Asked for only once the factory is exported, so that the request
      // that made the bus start this program finds the object.
      m_busName(connection, kProgId)
{
}

void ClassFactoryObject::OnFactoryCall(GDBusConnection*, const gchar* sender, const gchar*,
                                       const gchar*, const gchar*, GVariant*,
                                       GDBusMethodInvocation* invocation, gpointer self)
{
    // CreateInstance is the interface's only method.
    static_cast<ClassFactoryObject*>(self)->CreateInstance(sender, invocation);
}

void ClassFactoryObject::CreateInstance(const char* client, GDBusMethodInvocation* invocation)
{
    if (m_bServed) {
        // Reached through the old name owner before the name moved on.
        g_dbus_method_invocation_return_dbus_error(
            invocation, "Calvex.Error.SingleUse",
            "This instance serves one client; ask Calvex.Application again for a new one.");
        return;
    }
    m_bServed = true;
    const std::string path = std::string(kProxyObjectPathPrefix) + "/1";
    m_pProxyObject = std::make_unique<AutoProxyObject>(
        m_pConnection, path, client ? client : "", wxTheApp->GetTopWindow(),
        // The release arrives inside a bus callback of the proxy itself, so
        // the proxy is deleted afterwards, from the application's event loop.
        [this] { wxTheApp->CallAfter([this] { ReleaseProxy(); }); });
    // The name goes before the answer does: the bus handles this program's
    // messages in order, so a client that got its proxy and asks again
    // already reaches a new instance.
    m_busName.Release();
    g_dbus_method_invocation_return_value(invocation, g_variant_new("(o)", path.c_str()));
}

void ClassFactoryObject::ReleaseProxy()
{
    m_pProxyObject.reset();
    m_onProxyReleased();
}

} // namespace calvex::app
