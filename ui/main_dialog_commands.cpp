// SPDX-License-Identifier: GPL-2.0-or-later
// The main window's commands: the file pickers, the menu and the
// compressors' Properties buttons.
#include <wx/combobox.h>

#include "res/strings.h"
#include "ui/about_dialog.h"
#include "ui/file_pickers.h"
#include "ui/main_dialog.h"
#include "ui/message_box.h"
#include "ui/modal_scope.h"
#include "ui/settings_sheet.h"

namespace calvex::ui {

void CCalvexDlg::OnBrowseSource(wxCommandEvent&)
{
    if (const auto path = ChooseSourceFile(this))
        m_strSourceFile = *path;
    else // the source chosen before stays in force
        ShowMessageBox(this, strings::kSourceCancelled, wxOK);
    UpdateData(false);
}

void CCalvexDlg::OnDropSource(const wxString& path)
{
    // As the Open dialog's pick: the members shown again.
    m_strSourceFile = path;
    UpdateData(false);
}

void CCalvexDlg::OnBrowseOutput(wxCommandEvent&)
{
    const auto path = ChooseOutputFile(this);
    // Cancel forgets the output chosen before.
    m_strOutputFile = path.value_or(wxString());
    if (!path)
        ShowMessageBox(this, strings::kOutputCancelled, wxOK);
    UpdateData(false);
}

void CCalvexDlg::OnFileAbout(wxCommandEvent&)
{
    CAboutDlg about(this);
    const ModalScope modal;
    about.ShowModal();
}

void CCalvexDlg::OnQuit(wxCommandEvent&)
{
    if (ShowMessageBox(this, strings::kQuitConfirm, wxYES_NO) == wxID_YES)
        OnOK();
}

void CCalvexDlg::OnCheckOnline(wxCommandEvent&)
{
    OpenWebSite();
}

void CCalvexDlg::OnVideoProperties(wxCommandEvent&)
{
    UpdateData(true);
    ShowCompressorSettings(m_slots.g_pVideoCompressor.Get(), *m_cbVideoCompressor);
}

void CCalvexDlg::OnAudioProperties(wxCommandEvent&)
{
    ShowCompressorSettings(m_slots.g_pAudioCompressor.Get(), *m_cbAudioCompressor);
}

void CCalvexDlg::ShowCompressorSettings(const media::FilterPtr& compressor, const wxComboBox& list)
{
    if (!compressor)
        return;
    // The property pages come first; the codec's own dialog only without them.
    if (const auto pages = compressor->QueryPropertyPages()) {
        const wxString name = list.GetStringSelection();
        const wxString title = name.empty() ? wxString(strings::kSettingsDefaultTitle)
                                            : name + strings::kSettingsTitleSuffix;
        ShowPropertySheet(this, title, *pages);
        return;
    }
    if (const auto dialog = compressor->QueryCodecDialog())
        ShowCodecDialog(this, *dialog);
}

} // namespace calvex::ui
