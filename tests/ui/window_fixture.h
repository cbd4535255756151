// SPDX-License-Identifier: GPL-2.0-or-later
// Opens the main window on a fake engine, and closes it after the test.
#pragma once

#include <memory>

#include <gtest/gtest.h>
#include <wx/weakref.h>

#include "fakes/fake_engine.h"
#include "ui/main_dialog.h"
#include "ui_test_support.h"

namespace calvex::test {

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Opens the window on the fake engine (its compressors listed), or on another.
    ui::CCalvexDlg& Open(std::shared_ptr<media::IMediaEngine> onEngine = nullptr);
    // Sets both paths as the pickers would.
    void SetPaths(const wxString& source, const wxString& output);
    bool IsDestroyed() const { return !m_window; }

    std::shared_ptr<FakeEngine> engine = std::make_shared<FakeEngine>();
    job::JobSlots slots;
    DialogAnswers answers;
    ui::CCalvexDlg* window = nullptr;

private:
    wxWeakRef<ui::CCalvexDlg> m_window;
};

} // namespace calvex::test
