// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/source_drop_target.h"

#include <wx/filename.h>

namespace calvex::ui {

bool SourceDropTarget::OnDropFiles(wxCoord, wxCoord, const wxArrayString& names)
{
    for (const wxString& name : names) {
        if (wxFileName::DirExists(name))
            continue;
        m_onSource(name);
        return true;
    }
    return false;
}

} // namespace calvex::ui
