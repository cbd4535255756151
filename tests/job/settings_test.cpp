#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "job/settings.h"

namespace fs = std::filesystem;
using namespace calvex::job;

namespace {

class FileNamesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() /
              ("calvex-settings-" +
               std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir / "sub");
        source = dir / "clip.mp4";
        std::ofstream(source) << "source data";
    }
    void TearDown() override { fs::remove_all(dir); }

    fs::path dir, source;
};

} // namespace

TEST(IsEmptyPathTest, OnlyTheEmptyStringIsEmpty)
{
    EXPECT_TRUE(IsEmptyPath(""));
    EXPECT_FALSE(IsEmptyPath(" "));
    EXPECT_FALSE(IsEmptyPath("a"));
}

TEST_F(FileNamesTest, OtherSpellingsOfOneFileAreTheSameFile)
{
    EXPECT_TRUE(IsSameFile(source.string(), source.string()));
    EXPECT_TRUE(IsSameFile(source.string(), (dir / "sub" / ".." / "clip.mp4").string()));
    EXPECT_TRUE(IsSameFile(source.string(), (dir / "." / "clip.mp4").string()));

    fs::create_symlink(source, dir / "link.avi");
    EXPECT_TRUE(IsSameFile(source.string(), (dir / "link.avi").string()));

    fs::create_hard_link(source, dir / "hard.avi");
    EXPECT_TRUE(IsSameFile(source.string(), (dir / "hard.avi").string()));
}

TEST_F(FileNamesTest, DifferentFilesAreNotTheSame)
{
    EXPECT_FALSE(IsSameFile(source.string(), (dir / "out.avi").string()));
    std::ofstream(dir / "out.avi") << "x";
    EXPECT_FALSE(IsSameFile(source.string(), (dir / "out.avi").string()));
    // Letter case matters on this file system.
    EXPECT_FALSE(IsSameFile(source.string(), (dir / "CLIP.mp4").string()));
}

TEST_F(FileNamesTest, DeletingRemovesFilesButNeverDirectories)
{
    const fs::path out = dir / "out.avi";
    std::ofstream(out) << "old output";
    DeleteOutputFile(out.string());
    EXPECT_FALSE(fs::exists(out));

    DeleteOutputFile((dir / "missing.avi").string()); // no such file: ignored

    fs::create_directory(dir / "empty");
    DeleteOutputFile((dir / "empty").string());
    EXPECT_TRUE(fs::is_directory(dir / "empty"));
}
