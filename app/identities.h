// SPDX-License-Identifier: GPL-2.0-or-later
// The names by which automation clients and the desktop know the program.
#pragma once

namespace calvex::app {

inline constexpr const char* kProgId = "Calvex.Application"; // also the bus name
inline constexpr const char* kClsidCalvex = "{2ECF7ED6-07C1-4B5F-99DE-44C97E355C7F}";
inline constexpr const char* kIidICalvex = "{E3C1622E-3DE3-43B9-B8B5-CBCDA0C6A1E1}";
inline constexpr const char* kLibidCalvex = "{96D06FBF-9B6F-4551-8565-F497D1772153}";
inline constexpr const char* kTypeLibraryVersion = "1.0";
inline constexpr const char* kTypeLibraryLocale = "0";

inline constexpr const char* kFactoryObjectPath = "/Calvex/Application";
inline constexpr const char* kFactoryInterface = "Calvex.ClassFactory";
inline constexpr const char* kProxyObjectPathPrefix = "/Calvex/Application/AutoProxy";
inline constexpr const char* kICalvexInterface = "Calvex.ICalvex";
inline constexpr const char* kLifetimeInterface = "Calvex.Lifetime";

// The switch that the bus passes when it starts the program for a client.
inline constexpr const char* kAutomationSwitch = "/Automation";

} // namespace calvex::app
