// SPDX-License-Identifier: GPL-2.0-or-later
// The window's layouts and pictures, built into the program (see
// res/embed_files.cmake).
#pragma once

#include <cstddef>
#include <span>

namespace calvex::res {

struct EmbeddedFile {
    const char* name; // file name without folder, e.g. "main_dialog.xrc"
    const unsigned char* data;
    std::size_t size;
};

std::span<const EmbeddedFile> EmbeddedFiles();

} // namespace calvex::res
