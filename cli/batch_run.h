// SPDX-License-Identifier: GPL-2.0-or-later
// A batch: each file of the plan converted in turn through one converter,
// the rest skipped after a stop signal (or a failure with --stop-on-error),
// and the summary at the end.
#pragma once

#include <atomic>
#include <cstdio>

#include "cli/batch_plan.h"
#include "cli/options.h"
#include "media/engine.h"

namespace calvex::cli {

struct Terminal {
    std::FILE* out;
    std::FILE* err;
    bool errIsTerminal;
};

// The exit status: 0 every file completed, 1 any failed or was refused,
// 128 + the signal's number when a signal stopped the batch, 2 when the
// encoders the options name cannot be set up.
int RunBatch(media::IMediaEngine& engine, const Options& options, const BatchPlan& plan,
             const std::atomic<int>& stopSignal, const Terminal& terminal);

} // namespace calvex::cli
