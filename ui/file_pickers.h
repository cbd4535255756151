// SPDX-License-Identifier: GPL-2.0-or-later
// The Open and Save As dialogs that choose the source video and the AVI
// file to write.
#pragma once

#include <optional>

#include <wx/string.h>

class wxWindow;

namespace calvex::ui {

// The extension added to a name chosen without one.
inline constexpr const char* kDefaultExtension = "avi";

// The chosen source path, or nothing when the user cancelled.
std::optional<wxString> ChooseSourceFile(wxWindow* parent);

// The chosen output path, or nothing when the user cancelled. The dialog
// asks before an existing file is chosen.
std::optional<wxString> ChooseOutputFile(wxWindow* parent);

// path with the default extension added when its name has none. For an
// existing file (openFile true) the name is kept as it is.
wxString WithDefaultExtension(const wxString& path, bool openFile);

} // namespace calvex::ui
