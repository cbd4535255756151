// SPDX-License-Identifier: GPL-2.0-or-later
// The list control that shows a compressor category: the window's combo
// box, the headless converter's in-memory list, or a test's fake.
#pragma once

#include <string>
#include <vector>

namespace calvex::media {

class ICompressorList {
public:
    virtual ~ICompressorList() = default;
    // Inserts an entry at its sorted place (see SortedInsertIndex) and returns
    // its index. key identifies the device behind the entry.
    virtual int AddString(const std::string& text, const std::string& key) = 0;
    virtual int GetCount() const = 0;
    // Index of the selected entry, or -1 when none is selected.
    virtual int GetCurSel() const = 0;
    virtual void SetCurSel(int index) = 0;
    virtual std::string GetLBText(int index) const = 0;
    virtual std::string GetItemKey(int index) const = 0;
};

// Where text goes in a list kept sorted: letter case ignored, after the
// entries that compare equal (so equal texts keep their enumeration order).
int SortedInsertIndex(const std::vector<std::string>& sortedTexts, const std::string& text);

// A plain sorted list, for programs without a window.
class SortedCompressorList : public ICompressorList {
public:
    int AddString(const std::string& text, const std::string& key) override;
    int GetCount() const override;
    int GetCurSel() const override;
    void SetCurSel(int index) override;
    std::string GetLBText(int index) const override;
    std::string GetItemKey(int index) const override;

private:
    std::vector<std::string> m_texts;
    std::vector<std::string> m_keys;
    int m_selected = -1;
};

} // namespace calvex::media
