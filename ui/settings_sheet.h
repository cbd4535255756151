// SPDX-License-Identifier: GPL-2.0-or-later
// The compressor configuration dialogs: a property sheet of an encoder's
// settings, and the list of its presets.
#pragma once

#include <string>
#include <vector>

#include <wx/dialog.h>

#include "media/encoder_settings.h"

class wxButton;
class wxPGProperty;
class wxPropertyGrid;
class wxPropertyGridManager;
class wxStaticText;

namespace calvex::ui {

// One row per setting, with the editor of its type, under the heading of its
// group (quality and rate, the encoder's own, general). OK applies each
// value changed since the sheet opened, as set, and keeps the encoder's
// configuration; Defaults shows every default again; Cancel changes nothing.
class PropertySheetDialog : public wxDialog {
public:
    PropertySheetDialog(wxWindow* parent, const wxString& title,
                        media::ISpecifyPropertyPages& pages);

    wxPropertyGrid* GetGrid() const;
    // The row of a setting by its name, or null.
    wxPGProperty* GetRow(const std::string& name) const;
    // The heading rows, in order.
    std::vector<wxPGProperty*> GetGroups() const;
    wxButton* GetDefaultsButton() const { return m_defaults; }
    // The line that says where a file made with the encoder plays; null when unknown.
    wxStaticText* GetWherePlays() const { return m_wherePlays; }

private:
    void AddRows();
    // Applies the changed rows; false (with a message) when one is refused.
    bool ApplyChanges();
    void OnOK(wxCommandEvent& event);
    void OnDefaults(wxCommandEvent& event);

    media::ISpecifyPropertyPages& m_pages;
    std::vector<media::EncoderSetting> m_settings;
    std::vector<wxPGProperty*> m_rows;
    std::vector<wxPGProperty*> m_groups;
    std::vector<std::string> m_appliedValues; // what the encoder holds, per row
    wxPropertyGridManager* m_manager = nullptr;
    wxButton* m_defaults = nullptr;
    wxStaticText* m_wherePlays = nullptr;

    wxDECLARE_EVENT_TABLE();
};

// Shows the encoder's settings as a modal sheet over parent.
void ShowPropertySheet(wxWindow* parent, const wxString& title,
                       media::ISpecifyPropertyPages& pages);

// Shows the codec's presets as a modal list; OK chooses the selected one.
void ShowCodecDialog(wxWindow* parent, media::ICodecDialog& dialog);

} // namespace calvex::ui
