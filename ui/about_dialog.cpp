#include "ui/about_dialog.h"

#include <wx/panel.h>
#include <wx/stattext.h>
#include <wx/utils.h>
#include <wx/xrc/xmlres.h>

#include "res/strings.h"
#include "ui/resources.h"

namespace calvex::ui {

// clang-format off
wxBEGIN_EVENT_TABLE(CAboutDlg, wxDialog)
    EVT_BUTTON(XRCID("IDC_WEBSITE"), CAboutDlg::OnCheckOnline)
wxEND_EVENT_TABLE()
    // clang-format on

    CAboutDlg::CAboutDlg(wxWindow* parent)
{
    LoadUiResources();
    wxXmlResource::Get()->LoadDialog(this, parent, "IDD_ABOUTBOX");
    XRCCTRL(*this, "IDC_VERSION_LINE", wxStaticText)->SetLabel(strings::kVersionLine);
    XRCCTRL(*this, "IDC_SECOND_LINE", wxStaticText)->SetLabel(strings::kAboutSecondLine);
    SetIcons(ProgramIcons());
    // The panel has the template's size in dialog units; the box keeps it.
    SetClientSize(XRCCTRL(*this, "IDC_ABOUT_PANEL", wxPanel)->GetSize());
    CentreOnParent();
}

void CAboutDlg::OnCheckOnline(wxCommandEvent&)
{
    OpenWebSite();
}

void OpenWebSite()
{
    // Whether and how the page shows is the browser's business.
    wxLaunchDefaultBrowser(strings::kWebAddress);
}

} // namespace calvex::ui
