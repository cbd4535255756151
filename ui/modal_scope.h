// SPDX-License-Identifier: GPL-2.0-or-later
// Counts the modal loops running on the UI thread (dialogs, message boxes,
// the wait for a worker), so that the main window is never destroyed from
// inside one of them: their dialogs and callers still use it.
#pragma once

#include <functional>

namespace calvex::ui {

class ModalScope {
public:
    ModalScope();
    ~ModalScope();
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;

    static bool IsAnyOpen();
    // Called (on the UI thread) each time the last open scope closes.
    static void SetOnAllClosed(std::function<void()> onAllClosed);
};

} // namespace calvex::ui
