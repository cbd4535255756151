// SPDX-License-Identifier: GPL-2.0-or-later
// The interface description of the type library, built into the program from
// res/Calvex.ICalvex.xml so that registration works wherever it runs from.
#pragma once

namespace calvex::app {

// The introspection XML text of res/Calvex.ICalvex.xml.
const char* TypeLibraryXml();

} // namespace calvex::app
