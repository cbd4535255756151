// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/compressor_combo.h"

#include <wx/clntdata.h>
#include <wx/combobox.h>

namespace calvex::ui {

int ComboCompressorList::AddString(const std::string& text, const std::string& key)
{
    std::vector<std::string> texts;
    texts.reserve(m_combo.GetCount());
    for (unsigned i = 0; i < m_combo.GetCount(); ++i)
        texts.push_back(m_combo.GetString(i).utf8_string());
    const int index = media::SortedInsertIndex(texts, text);
    return m_combo.Insert(wxString::FromUTF8(text), index,
                          new wxStringClientData(wxString::FromUTF8(key)));
}

int ComboCompressorList::GetCount() const
{
    return static_cast<int>(m_combo.GetCount());
}

int ComboCompressorList::GetCurSel() const
{
    // Text typed into the edit field leaves no entry selected.
    const int selected = m_combo.GetSelection();
    return selected == wxNOT_FOUND ? -1 : selected;
}

void ComboCompressorList::SetCurSel(int index)
{
    m_combo.SetSelection(index);
    ShowSelectionWhole();
}

void ComboCompressorList::ShowSelectionWhole()
{
    m_combo.SetToolTip(m_combo.GetValue());
}

std::string ComboCompressorList::GetLBText(int index) const
{
    return m_combo.GetString(index).utf8_string();
}

std::string ComboCompressorList::GetItemKey(int index) const
{
    const auto* key = dynamic_cast<wxStringClientData*>(m_combo.GetClientObject(index));
    return key ? key->GetData().utf8_string() : std::string();
}

} // namespace calvex::ui
