// SPDX-License-Identifier: GPL-2.0-or-later
// The checks on a job's paths, on real files.
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include <gtest/gtest.h>

#include "job/settings.h"

namespace fs = std::filesystem;
using namespace calvex::job;

TEST(FileNamesTest, OtherSpellingsOfOneFileAreTheSameFileAndOthersAreNot)
{
    const fs::path dir = fs::temp_directory_path() / ("calvex-names-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "sub");
    const std::string source = (dir / "clip.mp4").string();
    std::ofstream(source) << "source data";
    fs::create_symlink(source, dir / "link.avi");
    fs::create_hard_link(source, dir / "hard.avi");
    for (const fs::path& spelling : {dir / "sub" / ".." / "clip.mp4", dir / "." / "clip.mp4",
                                     dir / "link.avi", dir / "hard.avi"})
        EXPECT_TRUE(IsSameFile(source, spelling.string())) << spelling;
    // Missing, another file, or another letter case (on this file system).
    EXPECT_FALSE(IsSameFile(source, (dir / "out.avi").string()));
    std::ofstream(dir / "out.avi") << "x";
    EXPECT_FALSE(IsSameFile(source, (dir / "out.avi").string()));
    EXPECT_FALSE(IsSameFile(source, (dir / "CLIP.mp4").string()));

    // Deleting an old output removes files, never folders.
    DeleteOutputFile((dir / "out.avi").string());
    DeleteOutputFile((dir / "sub").string());
    EXPECT_FALSE(fs::exists(dir / "out.avi"));
    EXPECT_TRUE(fs::is_directory(dir / "sub"));
    fs::remove_all(dir);
}
