// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/file_pickers.h"

#include <wx/filedlg.h>
#include <wx/filename.h>

#include "res/strings.h"
#include "ui/modal_scope.h"

namespace calvex::ui {

namespace {

// The chosen path. GTK's chooser answers GetPath only while its widget is
// realised; the folder and name that the dialog keeps are there in any case.
wxString ChosenPath(const wxFileDialog& picker)
{
    const wxString path = picker.GetPath();
    if (!path.empty())
        return path;
    return wxFileName(picker.GetDirectory(), picker.GetFilename()).GetFullPath();
}

std::optional<wxString> RunPicker(wxWindow* parent, const char* title, const char* filter,
                                  long style)
{
    wxFileDialog picker(parent, title, wxEmptyString, wxEmptyString, filter, style);
    const ModalScope modal;
    if (picker.ShowModal() != wxID_OK)
        return std::nullopt;
    // Any length is returned whole: the path is a wxString, not a buffer.
    return WithDefaultExtension(ChosenPath(picker), (style & wxFD_OPEN) != 0);
}

} // namespace

wxString WithDefaultExtension(const wxString& path, bool openFile)
{
    const wxFileName name(path);
    if (path.empty() || name.HasExt() || name.GetName().empty())
        return path;
    if (openFile && name.FileExists())
        return path;
    return path + "." + kDefaultExtension;
}

std::optional<wxString> ChooseSourceFile(wxWindow* parent)
{
    // No flags: the file need not exist (Convert reports what cannot be read).
    return RunPicker(parent, strings::kSourcePickerTitle, strings::kSourceFilter, wxFD_OPEN);
}

std::optional<wxString> ChooseOutputFile(wxWindow* parent)
{
    return RunPicker(parent, strings::kOutputPickerTitle, strings::kOutputFilter,
                     wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
}

} // namespace calvex::ui
