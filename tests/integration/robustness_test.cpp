// SPDX-License-Identifier: GPL-2.0-or-later
// Bad sources, disk errors, unwritable outputs and odd names: the engine ends
// each job in time, never reports a failure as complete, and never writes
// to the source.
#include "test_support.h"

#include "media/encoder_settings.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <fstream>
#include <random>
#include <sys/stat.h>
#include <sys/syscall.h>

namespace {

// Reads of the file with this device and inode fail with EIO from this
// offset on: a disk error partway through a source. FFmpeg's file protocol
// reads through here.
std::atomic<dev_t> g_failingDevice{0};
std::atomic<ino_t> g_failingInode{0};
std::atomic<off_t> g_failFrom{0};

} // namespace

extern "C" ssize_t read(int fd, void* buffer, size_t count)
{
    struct stat file {};
    if (g_failingInode != 0 && fstat(fd, &file) == 0 && file.st_ino == g_failingInode &&
        file.st_dev == g_failingDevice && lseek(fd, 0, SEEK_CUR) >= g_failFrom) {
        errno = EIO;
        return -1;
    }
    return syscall(SYS_read, fd, buffer, count);
}

namespace calvex::media::test {
namespace {

const std::string kClipArgs = "-f lavfi -i testsrc=size=320x240:rate=25:duration=2 -f lavfi -i "
                              "sine=sample_rate=44100:duration=2 -c:v libx264 -preset ultrafast "
                              "-c:a aac";

fs::path WriteFile(const std::string& name, const std::string& content)
{
    const auto path = WorkDir() / "bad" / name;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

// What is at a path: a file's bytes, or whether anything else is there.
std::string Content(const fs::path& path)
{
    return fs::is_regular_file(path) ? ReadBytes(path) : fs::exists(path) ? "(other)" : "(none)";
}

TEST(BadFiles, EndAsErrorsOrConvertWhatIsThere)
{
    const auto dir = WorkDir() / "bad";
    std::string random(200000, '\0');
    std::mt19937 generator(42);
    for (char& byte : random)
        byte = static_cast<char>(generator());
    fs::create_directories(dir / "folder.mkv");
    fs::remove(dir / "fifo.mp4");
    ASSERT_EQ(mkfifo((dir / "fifo.mp4").c_str(), 0600), 0);
    std::vector<fs::path> sources = {dir / "missing.mp4",
                                     dir / "folder.mkv",
                                     dir / "fifo.mp4",
                                     WriteFile("empty.mp4", ""),
                                     WriteFile("text.mp4", "This is not a video.\nJust words.\n"),
                                     WriteFile("random.avi", random)};
    for (const std::string extension : {".mkv", ".ts", ".mp4"}) {
        const std::string whole = ReadBytes(MakeClip("small" + extension, kClipArgs));
        sources.push_back(WriteFile("cut" + extension, whole.substr(0, whole.size() / 2)));
    }
    const auto output = WorkDir() / "bad-source.avi";
    for (const fs::path& input : sources) {
        SCOPED_TRACE(input.filename().string());
        const std::string before = Content(input);
        fs::remove(output);
        const JobResult result = RunJob({input, output});
        // Only a cut file may convert the half that is there.
        EXPECT_TRUE(result.eventCode == EC_ERRORABORT ||
                    (input.stem() == "cut" && result.eventCode == EC_COMPLETE));
        EXPECT_EQ(Content(input), before);
        // A failure names the file and why; it leaves no output without pictures.
        if (result.eventCode == EC_ERRORABORT) {
            EXPECT_NE(result.reason.find(input.filename().string()), std::string::npos)
                << result.reason;
            EXPECT_FALSE(fs::exists(output));
        }
    }
    EXPECT_EQ(RunJob({dir / "missing.mp4", output}).reason, "Cannot open the source file \"" +
                                                                (dir / "missing.mp4").string() +
                                                                "\": No such file or directory");
    const JobResult unwritable = RunJob({MakeClip("small.mkv", kClipArgs), "/proc/no/x.avi"});
    EXPECT_EQ(unwritable.eventCode, EC_ERRORABORT);
    EXPECT_EQ(unwritable.reason.rfind("Cannot create the output file \"/proc/no/x.avi\": ", 0), 0u);
}

TEST(BadFiles, ASettingTheEncoderRefusesIsNamed)
{
    const FilterPtr video = BindEncoder(Category::VideoCompressor, "mpeg4");
    ASSERT_TRUE(video->QueryPropertyPages()->SetValue("qmin", "0"));
    const JobResult result =
        RunJob({MakeClip("small.mkv", kClipArgs), WorkDir() / "refused.avi", "mpeg4", {}, video});
    EXPECT_EQ(result.eventCode, EC_ERRORABORT);
    EXPECT_EQ(result.reason.rfind("The encoder mpeg4 refused the setting qmin=0", 0), 0u)
        << result.reason;
}

TEST(BadFiles, DamagedPicturesInTheMiddleAreSkipped)
{
    std::string bytes = ReadBytes(MakeClip("small.ts", kClipArgs));
    // 4000 bytes in the middle garbled, the TS packet headers left alone.
    for (size_t i = bytes.size() / 2; i < bytes.size() / 2 + 4000; ++i)
        bytes[i] = i % 188 > 4 ? static_cast<char>(bytes[i] ^ 0x5A) : bytes[i];
    const auto output = WorkDir() / "damaged.avi";
    ASSERT_EQ(RunJob({WriteFile("damaged.ts", bytes), output}).eventCode, EC_COMPLETE);
    EXPECT_GT(CountVideoFrames(output), 40);
}

TEST(BadFiles, AReadErrorPartwayIsAnErrorNotACompletion)
{
    const auto input = MakeClip("small.mkv", kClipArgs);
    struct stat file {};
    ASSERT_EQ(stat(input.c_str(), &file), 0);
    g_failFrom = file.st_size / 2;
    g_failingDevice = file.st_dev;
    g_failingInode = file.st_ino;
    const JobResult result = RunJob({input, WorkDir() / "read-error.avi"});
    g_failingInode = 0;
    EXPECT_EQ(result.eventCode, EC_ERRORABORT);
    // It stopped partway, and what it wrote plays.
    EXPECT_GT(CountVideoFrames(WorkDir() / "read-error.avi"), 0);
    EXPECT_TRUE(Decodes(WorkDir() / "read-error.avi", false));
    EXPECT_EQ(result.reason.rfind(
                  "Cannot read the source file \"" + input.string() + "\": Input/output error", 0),
              0u);
    EXPECT_NE(result.reason.find(". The pictures converted before the error are kept in the "
                                 "output file, which can be played"),
              std::string::npos);
}

TEST(Control, AStopBeforeRunKeepsTheGraphFromConverting)
{
    const auto output = WorkDir() / "stopped-first.avi";
    JobRequest request{MakeClip("small.mkv", kClipArgs), output};
    request.stopFirst = true;
    EXPECT_EQ(RunJob(request).eventCode, EC_NONE);
    EXPECT_FALSE(fs::exists(output));

    // Stopped as it starts, before x264 (which looks ahead) gives a picture:
    // no file rather than one without pictures.
    request = {MakeClip("small.mkv", kClipArgs), WorkDir() / "stopped-at-once.avi", "libx264"};
    request.stopAfter = 0;
    EXPECT_EQ(RunJob(request).eventCode, EC_NONE);
    EXPECT_TRUE(!fs::exists(request.output) || CountVideoFrames(request.output) > 0);
}

// Names FFmpeg would read as a protocol ("file:x" is x) are plain local
// names here, as are spaces and letters beyond ASCII.
TEST(Names, AreLocalFileNames)
{
    const auto dir = WorkDir() / "dossier été 日本";
    fs::create_directories(dir);
    const auto clip = MakeClip("small.mkv", kClipArgs);
    fs::copy_file(clip, dir / "file:vidéo ü.mkv", fs::copy_options::overwrite_existing);
    fs::copy_file(clip, dir / "victim.mkv", fs::copy_options::overwrite_existing);
    const fs::path before = fs::current_path();
    fs::current_path(dir);
    const JobResult result = RunJob({"file:vidéo ü.mkv", "file:victim.mkv"});
    fs::current_path(before);
    ASSERT_EQ(result.eventCode, EC_COMPLETE);
    EXPECT_EQ(CountVideoFrames(dir / "file:victim.mkv"), 50);
    EXPECT_EQ(ReadBytes(dir / "victim.mkv"), ReadBytes(clip));
}

} // namespace
} // namespace calvex::media::test
