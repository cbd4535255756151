// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/stop_signals.h"

#include <csignal>

namespace calvex::cli {

namespace {

// The handler only records the signal: a lock-free atomic is all a signal
// handler may touch.
std::atomic<int> g_stopSignal{0};
static_assert(std::atomic<int>::is_always_lock_free);

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void OnStopSignal(int signalNumber)
{
    int none = 0;
    if (g_stopSignal.compare_exchange_strong(none, signalNumber))
        return;
    // A second stop signal, should the job not stop: the default action,
    // raised again, kills the program, and the parent sees which signal it
    // was. The signal is blocked inside its handler, so it arrives as the
    // handler returns.
    struct sigaction byDefault {};
    byDefault.sa_handler = SIG_DFL;
    sigemptyset(&byDefault.sa_mask);
    sigaction(signalNumber, &byDefault, nullptr);
    raise(signalNumber);
}

bool InheritedAsIgnored(int signalNumber)
{
    struct sigaction inherited {};
    return sigaction(signalNumber, nullptr, &inherited) == 0 && inherited.sa_handler == SIG_IGN;
}

} // namespace

void InstallStopSignalHandlers()
{
    struct sigaction handler {};
    handler.sa_handler = OnStopSignal;
    // While one stop signal is handled the others wait, so that the first
    // and the second are told apart whatever their kinds.
    sigemptyset(&handler.sa_mask);
    for (const int signalNumber : kStopSignals)
        sigaddset(&handler.sa_mask, signalNumber);
    handler.sa_flags = SA_RESTART;
    for (const int signalNumber : kStopSignals) {
        if (signalNumber != SIGTERM && InheritedAsIgnored(signalNumber))
            continue;
        sigaction(signalNumber, &handler, nullptr);
    }
}

const std::atomic<int>& ReceivedStopSignal()
{
    return g_stopSignal;
}

} // namespace calvex::cli
