// SPDX-License-Identifier: GPL-2.0-or-later
// The automation proxy's link with the main window. While a proxy is
// attached, closing the window only hides it.
#pragma once

class wxWindow;

namespace calvex::ui {

class CCalvexDlg;

class CCalvexDlgAutoProxy {
public:
    // Attaches to mainWindow when it is a CCalvexDlg; otherwise stays unattached.
    explicit CCalvexDlgAutoProxy(wxWindow* mainWindow);
    // Detaches from the window, if it is still attached.
    ~CCalvexDlgAutoProxy();
    CCalvexDlgAutoProxy(const CCalvexDlgAutoProxy&) = delete;
    CCalvexDlgAutoProxy& operator=(const CCalvexDlgAutoProxy&) = delete;

    CCalvexDlg* m_pDialog = nullptr; // not owning; null while unattached
};

} // namespace calvex::ui
