// SPDX-License-Identifier: GPL-2.0-or-later
// Runs window operations of the worker thread on the UI thread, one at a
// time, and waits for each, as a message sent across threads does.
#pragma once

#include <functional>
#include <future>
#include <type_traits>

#include <wx/event.h>
#include <wx/thread.h>

namespace calvex::ui {

// Calls function on the UI thread through handler and returns its result.
// On the UI thread itself the call is direct. The UI thread must keep
// handling events until the call is done (it never blocks on the worker).
template <class Function>
auto CallOnUiThread(wxEvtHandler& handler, Function&& function) -> std::invoke_result_t<Function&>
{
    using Result = std::invoke_result_t<Function&>;
    if (wxThread::IsMain())
        return function();
    std::packaged_task<Result()> task(std::ref(function));
    std::future<Result> result = task.get_future();
    handler.CallAfter([&task] { task(); });
    return result.get();
}

} // namespace calvex::ui
