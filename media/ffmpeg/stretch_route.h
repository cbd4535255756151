// SPDX-License-Identifier: GPL-2.0-or-later
// A picture stream coded in stretches side by side, for an encoder that has
// no threads of its own: the source is cut at its key frames into stretches
// of at least one group of pictures of the output, each stretch decoded,
// converted and coded by one of as many workers as there are cores, and the
// stretches' packets written in order. Each stretch starts with a key frame
// and ends where the next begins, so the pictures are those of one encoder
// coding the whole stream; the encoder's settings are the same for each.
#pragma once

#include "media/ffmpeg/stream_route.h"
#include "media/ffmpeg/stretch_worker.h"

#include <vector>

namespace calvex::media::ffmpeg {

class StretchRoute : public StreamRoute {
public:
    // workers: how many stretches are coded side by side (two or more).
    StretchRoute(const StretchCoding& coding, int workers);
    ~StretchRoute() override;
    bool Start(OutputMux& mux, const std::atomic<bool>& stop) override;
    bool Feed(AVPacket* packet) override;
    bool Drain() override;
    bool OpenWithoutFrame() override;
    bool FlushEncoderBy(std::chrono::steady_clock::time_point deadline) override;
    void Halt() override;
    bool IsVideo() const override { return true; }

private:
    bool FeedStretch(AVPacket* packet);
    bool StartsStretch(const AVPacket* packet) const;
    bool BeginStretch(int64_t start);
    // Waits for a worker with no stretch; null when the job stops or one failed.
    StretchWorker* IdleWorker();
    bool AnyFailed() const;
    // Feeds the picture packets after a stretch's key frame: those shown
    // before it (an open group of pictures) go to the stretch before too.
    bool FeedAfterKeyFrame(AVPacket* packet);

    const StretchCoding m_coding;
    const int m_workerCount;
    const std::atomic<bool>* m_stop = nullptr;
    std::unique_ptr<StretchOrder> m_order;
    std::vector<std::unique_ptr<StretchWorker>> m_workers;
    int64_t m_fewestTicks = 0;               // the shortest stretch, source time base
    StretchWorker* m_current = nullptr;      // the stretch being read
    StretchWorker* m_previous = nullptr;     // takes m_current's leading pictures
    int64_t m_currentStart = AV_NOPTS_VALUE; // its first packet's time
    size_t m_stretches = 0;
    size_t m_leading = 0;
};

} // namespace calvex::media::ffmpeg
