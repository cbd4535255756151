// The installed compressors of each kind: filling the lists that show them
// and binding the selected one into its process-wide slot.
#pragma once

#include "media/compressor_list.h"
#include "media/engine.h"
#include "media/slot.h"

namespace calvex::media {

// The bound compressor filters, empty at start.
extern Slot<IBaseFilter> g_pVideoCompressor;
extern Slot<IBaseFilter> g_pAudioCompressor;

// Adds every compressor of the category to the list, then selects entry 0.
void FillCompressors(IMediaEngine& engine, Category category, ICompressorList& list);

// Puts a new instance of the selected entry's compressor into the slot. With
// no entry selected, or no device behind it, the slot stays as it was.
void BindCompressor(IMediaEngine& engine, Category category, const ICompressorList& list,
                    Slot<IBaseFilter>& slot);

// Rebinding the selected compressors, as the window (or a terminal program)
// does it from whatever thread calls.
class ICompressorBinder {
public:
    virtual ~ICompressorBinder() = default;
    virtual void BindVideoCompressor() = 0;
    virtual void BindAudioCompressor() = 0;
};

} // namespace calvex::media
