// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/auto_proxy.h"

#include "ui/main_dialog.h"

namespace calvex::ui {

CCalvexDlgAutoProxy::CCalvexDlgAutoProxy(wxWindow* mainWindow)
{
    if (auto* dialog = dynamic_cast<CCalvexDlg*>(mainWindow)) {
        m_pDialog = dialog;
        dialog->m_pAutoProxy = this;
    }
}

CCalvexDlgAutoProxy::~CCalvexDlgAutoProxy()
{
    if (m_pDialog)
        m_pDialog->m_pAutoProxy = nullptr;
}

} // namespace calvex::ui
