// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/resources.h"

#include <wx/filesys.h>
#include <wx/fs_mem.h>
#include <wx/image.h>
#include <wx/mstream.h>
#include <wx/xrc/xmlres.h>

#include "res/embedded_files.h"

namespace calvex::ui {

namespace {

constexpr const char* kMemoryFolder = "calvex/";
constexpr const char* kLayouts[] = {"main_dialog.xrc", "about_dialog.xrc", "main_menu.xrc"};
constexpr int kIconSizes[] = {16, 32, 48, 64, 128, 256};

const res::EmbeddedFile* FindEmbedded(const wxString& fileName)
{
    for (const res::EmbeddedFile& file : res::EmbeddedFiles()) {
        if (fileName == file.name)
            return &file;
    }
    return nullptr;
}

} // namespace

void LoadUiResources()
{
    static bool loaded = false;
    if (loaded)
        return;
    loaded = true;
    if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG))
        wxImage::AddHandler(new wxPNGHandler);
    wxFileSystem::AddHandler(new wxMemoryFSHandler);
    for (const res::EmbeddedFile& file : res::EmbeddedFiles())
        wxMemoryFSHandler::AddFile(wxString(kMemoryFolder) + file.name, file.data, file.size);

    wxXmlResource::Get()->InitAllHandlers();
    for (const char* layout : kLayouts)
        wxXmlResource::Get()->Load(wxString("memory:") + kMemoryFolder + layout);
}

wxBitmap BuiltInBitmap(const wxString& fileName)
{
    const res::EmbeddedFile* file = FindEmbedded(fileName);
    if (!file)
        return wxNullBitmap;
    wxMemoryInputStream stream(file->data, file->size);
    return wxBitmap(wxImage(stream, wxBITMAP_TYPE_PNG));
}

wxIconBundle ProgramIcons()
{
    wxIconBundle icons;
    for (int size : kIconSizes) {
        wxIcon icon;
        icon.CopyFromBitmap(BuiltInBitmap(wxString::Format("calvex-%d.png", size)));
        icons.AddIcon(icon);
    }
    return icons;
}

} // namespace calvex::ui
