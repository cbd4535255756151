// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/about_dialog.h"

#include <wx/log.h>

#include <wx/panel.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/utils.h>
#include <wx/xrc/xmlres.h>

#include "res/strings.h"
#include "ui/resources.h"

namespace calvex::ui {

wxBEGIN_EVENT_TABLE(CAboutDlg, wxDialog)
    EVT_BUTTON(XRCID("IDC_WEBSITE"), CAboutDlg::OnCheckOnline)
wxEND_EVENT_TABLE()

CAboutDlg::CAboutDlg(wxWindow* parent)
{
    LoadUiResources();
    wxXmlResource::Get()->LoadDialog(this, parent, "IDD_ABOUTBOX");
    XRCCTRL(*this, "IDC_VERSION_LINE", wxStaticText)->SetLabel(strings::kVersionLine);
    XRCCTRL(*this, "IDC_SECOND_LINE", wxStaticText)->SetLabel(strings::kAboutSecondLine);
    SetIcons(ProgramIcons());
    CentrePicture();
    // The panel has the template's size in dialog units; the box keeps it.
    SetClientSize(XRCCTRL(*this, "IDC_ABOUT_PANEL", wxPanel)->GetSize());
    CentreOnParent();
}

void CAboutDlg::CentrePicture()
{
    // The template's picture area, in dialog units.
    auto* picture = XRCCTRL(*this, "IDB_ABOUT_PICTURE", wxStaticBitmap);
    const wxRect area(picture->GetParent()->ConvertDialogToPixels(wxPoint(7, 48)),
                      picture->GetParent()->ConvertDialogToPixels(wxSize(245, 93)));
    const wxSize size = picture->GetBitmap().GetSize();
    picture->SetSize(wxRect(area.GetPosition() + (area.GetSize() - size) / 2, size));
}

void CAboutDlg::OnCheckOnline(wxCommandEvent&)
{
    OpenWebSite();
}

void OpenWebSite()
{
    // Whether and how the page shows is the browser's business: a failure
    // to start one is not reported.
    wxLogNull quiet;
    wxLaunchDefaultBrowser(strings::kWebAddress);
}

} // namespace calvex::ui
