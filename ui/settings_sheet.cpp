#include "ui/settings_sheet.h"

#include <algorithm>

#include <wx/choicdlg.h>
#include <wx/propgrid/manager.h>
#include <wx/sizer.h>

#include "res/strings.h"
#include "ui/message_box.h"
#include "ui/modal_scope.h"
#include "ui/setting_rows.h"

namespace calvex::ui {

namespace {

const wxSize kSheetSize(520, 420);

} // namespace

wxBEGIN_EVENT_TABLE(PropertySheetDialog, wxDialog)
    EVT_BUTTON(wxID_OK, PropertySheetDialog::OnOK)
wxEND_EVENT_TABLE()

PropertySheetDialog::PropertySheetDialog(wxWindow* parent, const wxString& title,
                                         media::ISpecifyPropertyPages& pages)
    : wxDialog(parent, wxID_ANY, title, wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      m_pages(pages), m_settings(pages.GetPages())
{
    // The help text of the selected row shows in the box under the grid.
    m_manager = new wxPropertyGridManager(this, wxID_ANY, wxDefaultPosition, kSheetSize,
                                          wxPG_SPLITTER_AUTO_CENTER | wxPG_DESCRIPTION |
                                              wxPG_BOLD_MODIFIED);
    m_manager->AddPage();
    AddRows();

    auto* layout = new wxBoxSizer(wxVERTICAL);
    layout->Add(m_manager, 1, wxEXPAND | wxALL, 8);
    layout->Add(CreateStdDialogButtonSizer(wxOK | wxCANCEL), 0, wxEXPAND | wxBOTTOM, 8);
    SetSizerAndFit(layout);
    CentreOnParent();
}

void PropertySheetDialog::AddRows()
{
    for (const media::EncoderSetting& setting : m_settings) {
        wxPGProperty* row = m_manager->Append(MakeSettingRow(setting));
        m_rows.push_back(row);
        m_appliedValues.push_back(SettingValueOf(setting, *row));
    }
    if (!m_rows.empty())
        m_manager->SelectProperty(m_rows.front());
}

wxPropertyGrid* PropertySheetDialog::GetGrid() const
{
    return m_manager->GetGrid();
}

wxPGProperty* PropertySheetDialog::GetRow(const std::string& name) const
{
    for (size_t i = 0; i < m_settings.size(); ++i) {
        if (m_settings[i].name == name)
            return m_rows[i];
    }
    return nullptr;
}

bool PropertySheetDialog::ApplyChanges()
{
    for (size_t i = 0; i < m_rows.size(); ++i) {
        const std::string value = SettingValueOf(m_settings[i], *m_rows[i]);
        if (value == m_appliedValues[i])
            continue;
        if (!m_pages.SetValue(m_settings[i].name, value)) {
            ShowMessageBox(this,
                           wxString::Format(strings::kSettingRefused, wxString::FromUTF8(value),
                                            wxString::FromUTF8(m_settings[i].name)),
                           wxOK);
            m_manager->SelectProperty(m_rows[i], true);
            return false;
        }
        m_appliedValues[i] = value;
    }
    return true;
}

void PropertySheetDialog::OnOK(wxCommandEvent&)
{
    // A value still in its editor counts once it passes the row's checks.
    if (!GetGrid()->CommitChangesFromEditor())
        return;
    if (ApplyChanges())
        EndModal(wxID_OK);
}

void ShowPropertySheet(wxWindow* parent, const wxString& title, media::ISpecifyPropertyPages& pages)
{
    PropertySheetDialog sheet(parent, title, pages);
    const ModalScope modal;
    sheet.ShowModal();
}

void ShowCodecDialog(wxWindow* parent, media::ICodecDialog& dialog)
{
    const std::vector<std::string> presets = dialog.Presets();
    if (presets.empty())
        return;
    wxArrayString names;
    for (const std::string& preset : presets)
        names.Add(wxString::FromUTF8(preset));
    wxSingleChoiceDialog list(parent, strings::kPresetPrompt, wxString::FromUTF8(dialog.Title()),
                              names);
    const auto current = std::find(presets.begin(), presets.end(), dialog.CurrentPreset());
    if (current != presets.end())
        list.SetSelection(static_cast<int>(current - presets.begin()));
    const ModalScope modal;
    if (list.ShowModal() != wxID_OK || list.GetSelection() < 0)
        return;
    const std::string chosen = presets[static_cast<size_t>(list.GetSelection())];
    if (!dialog.ChoosePreset(chosen))
        ShowMessageBox(parent,
                       wxString::Format(strings::kPresetRefused, wxString::FromUTF8(chosen)), wxOK);
}

} // namespace calvex::ui
