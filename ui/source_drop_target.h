// SPDX-License-Identifier: GPL-2.0-or-later
// A video file dropped on the main window becomes the source, as if the
// Open dialog had picked it.
#pragma once

#include <functional>

#include <wx/dnd.h>

namespace calvex::ui {

class SourceDropTarget : public wxFileDropTarget {
public:
    // onSource gets the path of the file to take as the source.
    explicit SourceDropTarget(std::function<void(const wxString&)> onSource)
        : m_onSource(std::move(onSource))
    {
    }

    // Takes the first file among names (folders are passed over); false,
    // and nothing done, when there is none.
    bool OnDropFiles(wxCoord x, wxCoord y, const wxArrayString& names) override;

private:
    std::function<void(const wxString&)> m_onSource;
};

} // namespace calvex::ui
