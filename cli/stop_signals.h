// SPDX-License-Identifier: GPL-2.0-or-later
// The signals that stop calvex-convert: Ctrl-C (SIGINT), SIGTERM (timeout,
// systemd, a container's stop, a batch scheduler) and SIGHUP (the terminal
// closed). The first one aborts the job cleanly; a second one ends the
// program at once, killed by that signal.
#pragma once

#include <atomic>

namespace calvex::cli {

// Installs the handlers, first thing in main(). SIGINT and SIGHUP inherited
// as ignored (a shell's background job, nohup) stay ignored; SIGTERM is
// always handled.
void InstallStopSignalHandlers();

// The number of the first stop signal received; 0 while none came.
const std::atomic<int>& ReceivedStopSignal();

} // namespace calvex::cli
