// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/glib_handles.h"

namespace calvex::app {

NodeInfoPtr ParseNodeInfo(const char* xml)
{
    g_autoptr(GError) error = nullptr;
    GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(xml, &error);
    if (!node)
        g_error("built-in introspection XML does not parse: %s", error->message);
    return NodeInfoPtr(node);
}

ExportedInterface::ExportedInterface(GDBusConnection* connection, const std::string& objectPath,
                                     GDBusInterfaceInfo* interface,
                                     const GDBusInterfaceVTable* vtable, gpointer userData)
    : m_pConnection(connection)
{
    g_autoptr(GError) error = nullptr;
    m_registrationId = g_dbus_connection_register_object(connection, objectPath.c_str(), interface,
                                                         vtable, userData, nullptr, &error);
}

ExportedInterface::~ExportedInterface()
{
    if (m_registrationId != 0)
        g_dbus_connection_unregister_object(m_pConnection, m_registrationId);
}

OwnedBusName::OwnedBusName(GDBusConnection* connection, const char* name)
    : m_ownerId(g_bus_own_name_on_connection(connection, name, G_BUS_NAME_OWNER_FLAGS_NONE, nullptr,
                                             nullptr, nullptr, nullptr))
{
}

void OwnedBusName::Release()
{
    if (m_ownerId != 0)
        g_bus_unown_name(m_ownerId);
    m_ownerId = 0;
}

BusNameWatch::BusNameWatch(GDBusConnection* connection, const std::string& name,
                           Callback onVanished, gpointer userData)
    : m_onVanished(onVanished), m_pUserData(userData)
{
    m_watchId =
        g_bus_watch_name_on_connection(connection, name.c_str(), G_BUS_NAME_WATCHER_FLAGS_NONE,
                                       nullptr, &BusNameWatch::OnVanished, this, nullptr);
}

BusNameWatch::~BusNameWatch()
{
    g_bus_unwatch_name(m_watchId);
}

void BusNameWatch::OnVanished(GDBusConnection*, const gchar*, gpointer self)
{
    auto* watch = static_cast<BusNameWatch*>(self);
    watch->m_onVanished(watch->m_pUserData);
}

} // namespace calvex::app
