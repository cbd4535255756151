// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/modal_scope.h"

#include <utility>

namespace calvex::ui {

namespace {

// UI thread only, like the loops it counts.
int g_openScopes = 0;
std::function<void()> g_onAllClosed;

} // namespace

ModalScope::ModalScope()
{
    ++g_openScopes;
}

ModalScope::~ModalScope()
{
    if (--g_openScopes == 0 && g_onAllClosed)
        g_onAllClosed();
}

bool ModalScope::IsAnyOpen()
{
    return g_openScopes > 0;
}

void ModalScope::SetOnAllClosed(std::function<void()> onAllClosed)
{
    g_onAllClosed = std::move(onAllClosed);
}

} // namespace calvex::ui
