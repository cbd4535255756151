// SPDX-License-Identifier: GPL-2.0-or-later
#include "media/compressor_list.h"

#include <algorithm>
#include <cctype>

namespace calvex::media {

namespace {

bool LessIgnoringCase(const std::string& a, const std::string& b)
{
    return std::lexicographical_compare(
        a.begin(), a.end(), b.begin(), b.end(),
        [](unsigned char x, unsigned char y) { return std::tolower(x) < std::tolower(y); });
}

bool IsValidIndex(int index, int count)
{
    return index >= 0 && index < count;
}

} // namespace

int SortedInsertIndex(const std::vector<std::string>& sortedTexts, const std::string& text)
{
    const auto place =
        std::upper_bound(sortedTexts.begin(), sortedTexts.end(), text, LessIgnoringCase);
    return static_cast<int>(place - sortedTexts.begin());
}

int SortedCompressorList::AddString(const std::string& text, const std::string& key)
{
    const int index = SortedInsertIndex(m_texts, text);
    m_texts.insert(m_texts.begin() + index, text);
    m_keys.insert(m_keys.begin() + index, key);
    if (m_selected >= index)
        ++m_selected;
    return index;
}

int SortedCompressorList::GetCount() const
{
    return static_cast<int>(m_texts.size());
}

int SortedCompressorList::GetCurSel() const
{
    return m_selected;
}

void SortedCompressorList::SetCurSel(int index)
{
    m_selected = IsValidIndex(index, GetCount()) ? index : -1;
}

std::string SortedCompressorList::GetLBText(int index) const
{
    return IsValidIndex(index, GetCount()) ? m_texts[index] : std::string();
}

std::string SortedCompressorList::GetItemKey(int index) const
{
    return IsValidIndex(index, GetCount()) ? m_keys[index] : std::string();
}

} // namespace calvex::media
