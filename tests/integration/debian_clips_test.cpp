// Real clips from a Debian package (python3-mecavideo's sample videos),
// downloaded and unpacked into the build tree at test time, not installed.
#include "test_support.h"

#include <gtest/gtest.h>

namespace calvex::media::test {
namespace {

// The package's video folder, or empty when the package cannot be fetched.
std::filesystem::path MecavideoClips()
{
    const auto root = WorkDir() / "mecavideo";
    const auto videos = root / "usr" / "share" / "pymecavideo" / "data" / "video";
    if (std::filesystem::exists(videos))
        return videos;
    std::filesystem::create_directories(root);
    const std::string fetch = "cd " + Quote(root) + " && apt-get download python3-mecavideo " +
                              ">/dev/null 2>&1 && dpkg -x python3-mecavideo_*.deb " + Quote(root);
    if (RunCommand(fetch).exitCode != 0 || !std::filesystem::exists(videos))
        return {};
    return videos;
}

TEST(DebianClips, EveryClipConvertsWithItsFrameCount)
{
    const auto videos = MecavideoClips();
    if (videos.empty())
        GTEST_SKIP() << "python3-mecavideo could not be downloaded";
    int converted = 0;
    for (const auto& entry : std::filesystem::directory_iterator(videos)) {
        const auto input = entry.path();
        SCOPED_TRACE(input.filename().string());
        const auto output = WorkDir() / ("mecavideo-" + input.stem().string() + ".avi");
        const JobResult result = RunJob({input, output, "mpeg4", ""});
        ASSERT_TRUE(result.sourceOpened);
        ASSERT_TRUE(result.videoRendered);
        ASSERT_EQ(result.eventCode, EC_COMPLETE);
        EXPECT_TRUE(Decodes(output));
        // Constant-rate clips keep every frame time: the decoded frames, or the
        // index's count where the source has empty (repeat) frames, as one VP9 clip has.
        long sourceFrames = CountVideoFrames(input);
        const std::string indexed = ProbeStream(input, "v:0", "stream=nb_frames");
        if (!indexed.empty() && indexed != "N/A")
            sourceFrames = std::max(sourceFrames, std::stol(indexed));
        const long frames = CountVideoFrames(output);
        EXPECT_NEAR(frames, sourceFrames, 1) << "source " << sourceFrames;
        ++converted;
    }
    EXPECT_GE(converted, 5);
}

} // namespace
} // namespace calvex::media::test
