// SPDX-License-Identifier: GPL-2.0-or-later
// A compressor list shown in a drop-down combo box of the main window.
#pragma once

#include "media/compressor_list.h"

class wxComboBox;

namespace calvex::ui {

// Keeps the entries sorted as they are added and each device's key as the
// entry's client data. UI thread only.
class ComboCompressorList : public media::ICompressorList {
public:
    explicit ComboCompressorList(wxComboBox& combo) : m_combo(combo) {}

    int AddString(const std::string& text, const std::string& key) override;
    int GetCount() const override;
    int GetCurSel() const override;
    void SetCurSel(int index) override;
    std::string GetLBText(int index) const override;
    std::string GetItemKey(int index) const override;

    // The selected entry whole as the list's tooltip: a narrow list cuts its text.
    void ShowSelectionWhole();

private:
    wxComboBox& m_combo;
};

} // namespace calvex::ui
