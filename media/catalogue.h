// SPDX-License-Identifier: GPL-2.0-or-later
// The installed compressors of each kind: filling the lists that show them
// and binding the selected one into its slot.
#pragma once

#include "media/compressor_list.h"
#include "media/engine.h"
#include "media/slot.h"

namespace calvex::media {

// Adds every compressor of the category to the list, then selects entry 0.
void FillCompressors(IMediaEngine& engine, Category category, ICompressorList& list);

// Puts a new instance of the selected entry's compressor into the slot. With
// no entry selected, or no device behind it, the slot stays as it was.
void BindCompressor(IMediaEngine& engine, Category category, const ICompressorList& list,
                    Slot<IBaseFilter>& slot);

} // namespace calvex::media
