// SPDX-License-Identifier: GPL-2.0-or-later
// How a job ended, as its front end learns it.
#pragma once

#include <string>

#include "media/engine.h"

namespace calvex::job {

struct JobOutcome {
    long eventCode = media::EC_NONE; // the graph's completion event code
    std::string reason;              // why it failed, when that is known
    bool stopRequested = false;      // Abort (or the front end's end) asked it to stop

    bool Completed() const { return eventCode == media::EC_COMPLETE; }
};

// The message shown for an event code; null for codes that show none.
const char* OutcomeMessage(long eventCode);

} // namespace calvex::job
