// SPDX-License-Identifier: GPL-2.0-or-later
// The work of a running graph, on the graph's own thread: reads the source,
// feeds each routed stream, and writes the AVI file to its end or a stop.
#pragma once

#include "media/ffmpeg/encoder_plan.h"
#include "media/ffmpeg/failure.h"
#include "media/ffmpeg/source_filter.h"

#include <atomic>
#include <filesystem>
#include <memory>
#include <vector>

namespace calvex::media::ffmpeg {

// One rendered stream: copied when encoder is null, else encoded after plan.
struct RouteRequest {
    int streamIndex = -1;
    const AVCodec* encoder = nullptr;
    EncoderPlan plan;
    OptionValues options;
};

struct GraphJob {
    std::filesystem::path output;
    std::shared_ptr<SourceFilter> source;
    std::vector<RouteRequest> routes;
};

// Runs job to its end or until stop is set; returns the event code (EC_COMPLETE,
// EC_ERRORABORT, or EC_NONE when stopped). positionHns follows the mux; the
// reason of an error end goes to failure. A failed job's output keeps the
// pictures written before the error, closed and indexed; without any it is removed.
long RunGraphJob(const GraphJob& job, const std::atomic<bool>& stop,
                 std::atomic<int64_t>& positionHns, FailureNote& failure);

} // namespace calvex::media::ffmpeg
