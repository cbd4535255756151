// SPDX-License-Identifier: GPL-2.0-or-later
#include "window_fixture.h"

namespace calvex::test {

// Two video and two audio compressors, listed out of sorted order.
void WindowTest::SetUp()
{
    engine->devices->video = {std::make_shared<FakeMoniker>("Zeta video", "zeta"),
                              std::make_shared<FakeMoniker>("alpha video", "alpha")};
    engine->devices->audio = {std::make_shared<FakeMoniker>("PCM audio", "pcm"),
                              std::make_shared<FakeMoniker>("MP3 audio", "mp3")};
}

ui::CCalvexDlg& WindowTest::Open(std::shared_ptr<media::IMediaEngine> onEngine)
{
    window = new ui::CCalvexDlg(onEngine ? onEngine : engine, slots);
    m_window = window;
    window->Show();
    PumpPending();
    return *window;
}

void WindowTest::SetPaths(const wxString& source, const wxString& output)
{
    window->m_strSourceFile = source;
    window->m_strOutputFile = output;
    window->UpdateData(false);
}

void WindowTest::TearDown()
{
    if (m_window) {
        // Whatever the test left running ends here, as closing the window does.
        m_window->m_pAutoProxy = nullptr;
        m_window->Close();
    }
    EXPECT_TRUE(PumpUntil([this] { return !m_window; })) << "the window did not go away";
}

} // namespace calvex::test
