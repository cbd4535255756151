// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/auto_proxy_object.h"

#include "app/identities.h"
#include "app/type_library.h"

namespace calvex::app {
namespace {

constexpr const char* kLifetimeXml = "<node>"
                                     "  <interface name='Calvex.Lifetime'>"
                                     "    <method name='Release'/>"
                                     "  </interface>"
                                     "</node>";

} // namespace

AutoProxyObject::AutoProxyObject(GDBusConnection* connection, std::string objectPath,
                                 std::string client, wxWindow* mainWindow,
                                 std::function<void()> onRelease)
    : m_strObjectPath(std::move(objectPath)), m_strClient(std::move(client)),
      m_onRelease(std::move(onRelease)),
      m_pProxy(std::make_unique<ui::CCalvexDlgAutoProxy>(mainWindow)),
      m_pTypeLibrary(ParseNodeInfo(TypeLibraryXml())), m_pLifetime(ParseNodeInfo(kLifetimeXml)),
      m_iCalvexExport(connection, m_strObjectPath,
                      g_dbus_node_info_lookup_interface(m_pTypeLibrary.get(), kICalvexInterface),
                      nullptr, nullptr),
      m_lifetimeExport(connection, m_strObjectPath,
                       g_dbus_node_info_lookup_interface(m_pLifetime.get(), kLifetimeInterface),
                       MethodCallVTable<&AutoProxyObject::OnLifetimeCall>(), this),
      m_clientWatch(connection, m_strClient, &AutoProxyObject::OnClientVanished, this)
{
}

void AutoProxyObject::OnLifetimeCall(GDBusConnection*, const gchar* sender, const gchar*,
                                     const gchar*, const gchar* method, GVariant*,
                                     GDBusMethodInvocation* invocation, gpointer self)
{
    auto* proxy = static_cast<AutoProxyObject*>(self);
    // Release is the only method; only the client holding the proxy may give it back.
    if (g_strcmp0(method, "Release") != 0 || proxy->m_strClient != sender) {
        g_dbus_method_invocation_return_dbus_error(invocation,
                                                   "org.freedesktop.DBus.Error.AccessDenied",
                                                   "Only the client that created this object "
                                                   "may release it.");
        return;
    }
    g_dbus_method_invocation_return_value(invocation, nullptr);
    proxy->RequestRelease();
}

void AutoProxyObject::OnClientVanished(gpointer self)
{
    static_cast<AutoProxyObject*>(self)->RequestRelease();
}

void AutoProxyObject::RequestRelease()
{
    if (m_bReleaseRequested)
        return;
    m_bReleaseRequested = true;
    m_onRelease();
}

} // namespace calvex::app
