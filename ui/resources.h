// SPDX-License-Identifier: GPL-2.0-or-later
// The window's layouts and pictures, read from the copies built into the
// program.
#pragma once

#include <wx/bitmap.h>
#include <wx/iconbndl.h>

namespace calvex::ui {

// Makes the built-in layouts and pictures available to wxXmlResource and
// wxFileSystem (under "memory:calvex/"). Safe to call more than once; UI
// thread only.
void LoadUiResources();

// The program's icon in every size it has.
wxIconBundle ProgramIcons();

// A built-in picture by file name, e.g. "about.png".
wxBitmap BuiltInBitmap(const wxString& fileName);

} // namespace calvex::ui
