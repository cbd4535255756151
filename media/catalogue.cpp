// SPDX-License-Identifier: GPL-2.0-or-later
#include "media/catalogue.h"

namespace calvex::media {

namespace {

std::string DisplayText(const IMoniker& moniker)
{
    std::string name = moniker.FriendlyName();
    return name.empty() ? moniker.Key() : name;
}

} // namespace

void FillCompressors(IMediaEngine& engine, Category category, ICompressorList& list)
{
    if (const auto devices = engine.CreateDeviceEnumerator()) {
        for (const MonikerPtr& moniker : devices->CreateClassEnumerator(category)) {
            if (moniker)
                list.AddString(DisplayText(*moniker), moniker->Key());
        }
    }
    if (list.GetCount() > 0)
        list.SetCurSel(0);
}

void BindCompressor(IMediaEngine& engine, Category category, const ICompressorList& list,
                    Slot<IBaseFilter>& slot)
{
    const int selected = list.GetCurSel();
    if (selected < 0)
        return;
    // The key tells apart devices that share one display name.
    const std::string key = list.GetItemKey(selected);
    const auto devices = engine.CreateDeviceEnumerator();
    if (!devices)
        return;
    for (const MonikerPtr& moniker : devices->CreateClassEnumerator(category)) {
        if (moniker && moniker->Key() == key) {
            slot.Set(moniker->BindToObject());
            return;
        }
    }
}

} // namespace calvex::media
