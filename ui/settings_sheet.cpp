// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/settings_sheet.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/choicdlg.h>
#include <wx/propgrid/manager.h>
#include <wx/propgrid/props.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "res/strings.h"
#include "ui/message_box.h"
#include "ui/modal_scope.h"
#include "ui/setting_rows.h"

namespace calvex::ui {

namespace {

const wxSize kSheetSize(560, 480);
const int kDescriptionHeight = 96; // four lines of help

} // namespace

wxBEGIN_EVENT_TABLE(PropertySheetDialog, wxDialog)
    EVT_BUTTON(wxID_OK, PropertySheetDialog::OnOK)
    EVT_BUTTON(wxID_RESET, PropertySheetDialog::OnDefaults)
wxEND_EVENT_TABLE()

PropertySheetDialog::PropertySheetDialog(wxWindow* parent, const wxString& title,
                                         media::ISpecifyPropertyPages& pages)
    : wxDialog(parent, wxID_ANY, title, wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      m_pages(pages), m_settings(pages.GetPages())
{
    m_manager = new wxPropertyGridManager(this, wxID_ANY, wxDefaultPosition, kSheetSize,
                                          wxPG_SPLITTER_AUTO_CENTER | wxPG_BOLD_MODIFIED);
    m_manager->AddPage();
    AddRows();

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    m_defaults = new wxButton(this, wxID_RESET, strings::kRestoreDefaults);
    buttons->Add(m_defaults, 0, wxLEFT, 8);
    buttons->AddStretchSpacer();
    buttons->Add(CreateStdDialogButtonSizer(wxOK | wxCANCEL));
    auto* layout = new wxBoxSizer(wxVERTICAL);
    // Where a file made with this encoder plays, above its settings.
    if (const std::string where = pages.WherePlays(); !where.empty()) {
        m_wherePlays = new wxStaticText(
            this, wxID_ANY, wxString::Format(strings::kPlaysOn, wxString::FromUTF8(where)));
        m_wherePlays->Wrap(kSheetSize.GetWidth());
        layout->Add(m_wherePlays, 0, wxLEFT | wxRIGHT | wxTOP, 8);
    }
    layout->Add(m_manager, 1, wxEXPAND | wxALL, 8);
    layout->Add(buttons, 0, wxEXPAND | wxBOTTOM, 8);
    SetSizerAndFit(layout);
    // The help text of the selected row shows in a box under the grid. It is
    // added once the grid has its size: a manager that has never been sized
    // lays the box out at a width of -12345 (a Gtk-CRITICAL on stderr).
    m_manager->SetWindowStyleFlag(m_manager->GetWindowStyleFlag() | wxPG_DESCRIPTION);
    m_manager->SetDescBoxHeight(kDescriptionHeight);
    CentreOnParent();
}

void PropertySheetDialog::AddRows()
{
    const char* const headings[] = {strings::kGroupQualityAndRate, strings::kGroupEncoder,
                                    strings::kGroupGeneral};
    for (const media::SettingGroup group :
         {media::SettingGroup::QualityAndRate, media::SettingGroup::Encoder,
          media::SettingGroup::General}) {
        wxPGProperty* heading = nullptr;
        for (const media::EncoderSetting& setting : m_settings) {
            if (setting.group != group)
                continue;
            if (heading == nullptr) {
                heading =
                    m_manager->Append(new wxPropertyCategory(headings[static_cast<int>(group)]));
                m_groups.push_back(heading);
            }
            m_manager->AppendIn(heading, MakeSettingRow(setting));
        }
    }
    // The rows in the order of the settings, each with the value the encoder holds.
    for (const media::EncoderSetting& setting : m_settings) {
        m_rows.push_back(m_manager->GetProperty(wxString::FromUTF8(setting.name)));
        m_appliedValues.push_back(SettingValueOf(setting, *m_rows.back()));
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

std::vector<wxPGProperty*> PropertySheetDialog::GetGroups() const
{
    return m_groups;
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
    if (!ApplyChanges())
        return;
    m_pages.KeepSettings();
    EndModal(wxID_OK);
}

void PropertySheetDialog::OnDefaults(wxCommandEvent&)
{
    for (size_t i = 0; i < m_rows.size(); ++i)
        ShowSettingValue(m_settings[i], *m_rows[i], m_settings[i].defaultValue);
    GetGrid()->Refresh();
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
