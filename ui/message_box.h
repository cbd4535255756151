// SPDX-License-Identifier: GPL-2.0-or-later
// The one way the program shows a message box.
#pragma once

#include <wx/string.h>

class wxWindow;

namespace calvex::ui {

// The application's name, the caption of every message box.
wxString ApplicationName();

// Shows text in a modal box over parent with the given buttons (wxOK or
// wxYES_NO), and detail as its secondary text when there is one. Returns
// wxID_OK, wxID_YES or wxID_NO.
int ShowMessageBox(wxWindow* parent, const wxString& text, long buttons,
                   const wxString& detail = wxString());

} // namespace calvex::ui
