// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/message_box.h"

#include <wx/app.h>
#include <wx/filename.h>
#include <wx/msgdlg.h>
#include <wx/stdpaths.h>

#include "ui/modal_scope.h"

namespace calvex::ui {

wxString ApplicationName()
{
    if (wxTheApp && !wxTheApp->GetAppName().empty())
        return wxTheApp->GetAppName();
    return wxFileName(wxStandardPaths::Get().GetExecutablePath()).GetName();
}

int ShowMessageBox(wxWindow* parent, const wxString& text, long buttons, const wxString& detail)
{
    // No icon, as the boxes of the program never asked for one.
    wxMessageDialog box(parent, text, ApplicationName(), buttons | wxICON_NONE);
    if (!detail.empty())
        box.SetExtendedMessage(detail);
    const ModalScope modal;
    return box.ShowModal();
}

} // namespace calvex::ui
