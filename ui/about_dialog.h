// SPDX-License-Identifier: GPL-2.0-or-later
// The About box (template 100): icon, version, a line about the program,
// the picture, OK and the web site button.
#pragma once

#include <wx/dialog.h>

namespace calvex::ui {

class CAboutDlg : public wxDialog {
public:
    explicit CAboutDlg(wxWindow* parent);

private:
    void CentrePicture();
    void OnCheckOnline(wxCommandEvent& event);

    wxDECLARE_EVENT_TABLE();
};

// Opens the maker's web page in the default browser; a failure is not reported.
void OpenWebSite();

} // namespace calvex::ui
