// SPDX-License-Identifier: GPL-2.0-or-later
// Owning handles for the GLib objects and bus registrations that app/ holds:
// each gives its object or registration back when it goes out of scope.
#pragma once

#include <gio/gio.h>

#include <memory>
#include <string>

namespace calvex::app {

struct GObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
template <typename T> using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

struct NodeInfoUnref {
    void operator()(GDBusNodeInfo* node) const { g_dbus_node_info_unref(node); }
};
using NodeInfoPtr = std::unique_ptr<GDBusNodeInfo, NodeInfoUnref>;

// A vtable that handles method calls only, in the static storage that GDBus
// expects for as long as an object is exported.
template <GDBusInterfaceMethodCallFunc OnCall> const GDBusInterfaceVTable* MethodCallVTable()
{
    static const GDBusInterfaceVTable vtable{OnCall, nullptr, nullptr, {}};
    return &vtable;
}

// Parses introspection XML that the program itself holds; such text is
// always valid, so a parse error is a fault of the program.
NodeInfoPtr ParseNodeInfo(const char* xml);

// One interface of an object exported on a connection; unexported when
// this handle ends.
class ExportedInterface {
public:
    ExportedInterface() = default;
    ExportedInterface(GDBusConnection* connection, const std::string& objectPath,
                      GDBusInterfaceInfo* interface, const GDBusInterfaceVTable* vtable,
                      gpointer userData);
    ~ExportedInterface();
    ExportedInterface(const ExportedInterface&) = delete;
    ExportedInterface& operator=(const ExportedInterface&) = delete;

private:
    GDBusConnection* m_pConnection = nullptr; // not owning: the bus object outlives its exports
    guint m_registrationId = 0;
};

// The ownership of a well-known bus name, asked for at construction and
// given up when this handle ends or on Release().
class OwnedBusName {
public:
    OwnedBusName(GDBusConnection* connection, const char* name);
    ~OwnedBusName() { Release(); }
    OwnedBusName(const OwnedBusName&) = delete;
    OwnedBusName& operator=(const OwnedBusName&) = delete;

    void Release();

private:
    guint m_ownerId = 0;
};

// A watch on a bus name that calls onVanished (on this thread's main
// context) when the name leaves the bus, or at once when it is not there.
class BusNameWatch {
public:
    using Callback = void (*)(gpointer userData);
    BusNameWatch(GDBusConnection* connection, const std::string& name, Callback onVanished,
                 gpointer userData);
    ~BusNameWatch();
    BusNameWatch(const BusNameWatch&) = delete;
    BusNameWatch& operator=(const BusNameWatch&) = delete;

private:
    static void OnVanished(GDBusConnection*, const gchar*, gpointer self);

    guint m_watchId = 0;
    Callback m_onVanished;
    gpointer m_pUserData;
};

} // namespace calvex::app
