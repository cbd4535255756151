// SPDX-License-Identifier: GPL-2.0-or-later
#include <gtest/gtest.h>

#include "cli/options.h"

using namespace calvex::cli;

TEST(OptionsTest, SettingsPresetsAndModesAreTakenInOrder)
{
    const auto parsed = ParseOptions({"--audio", "libmp3lame", "--video-option", "qscale=3",
                                      "--audio-option", "b=192k", "--video-option", "g=a=b",
                                      "--preset", "slow", "--progress=machine", "--", "-in", "o"});
    ASSERT_TRUE(parsed.options) << parsed.error;
    const Options& options = *parsed.options;
    EXPECT_EQ(options.videoEncoder, "mpeg4"); // the usual AVI video when none is named
    EXPECT_FALSE(options.keepAudio);
    EXPECT_EQ(options.videoSettings, (Settings{{"qscale", "3"}, {"g", "a=b"}}));
    EXPECT_EQ(options.audioSettings, (Settings{{"b", "192k"}}));
    EXPECT_EQ(options.preset, "slow");
    EXPECT_EQ(options.progress, Options::Progress::Machine);
    EXPECT_EQ(options.source, "-in");
    EXPECT_EQ(ParseOptions({"--quiet", "a", "b"}).options->progress, Options::Progress::Quiet);
    EXPECT_EQ(ParseOptions({"--version"}).options->action, Options::Action::Version);
}

TEST(OptionsTest, MistakesAreRefusedWithAReason)
{
    for (const auto& arguments : std::vector<std::vector<std::string>>{
             {"in.mp4"},
             {"a", "b", "c"},
             {"--video"},
             {"--frobnicate", "a", "b"},
             {"--audio", "aac", "--keep-audio", "a", "b"},
             {"--video-option", "novalue", "a", "b"},
             {"--video-option", "=3", "a", "b"},
             {"--audio-option", "b=1", "a", "b"}}) { // kept audio has no encoder
        const auto parsed = ParseOptions(arguments);
        EXPECT_FALSE(parsed.options) << arguments[0];
        EXPECT_FALSE(parsed.error.empty());
    }
}

TEST(OptionsTest, ABatchTakesEverySourceWithItsOptionsAnywhere)
{
    const auto parsed = ParseOptions({"a.mp4", "--output-dir", "out", "b.mkv", "--stop-on-error"});
    ASSERT_TRUE(parsed.options) << parsed.error;
    EXPECT_TRUE(parsed.options->IsBatch());
    EXPECT_EQ(parsed.options->sources, (std::vector<std::string>{"a.mp4", "b.mkv"}));
    EXPECT_TRUE(parsed.options->stopOnError);
    EXPECT_FALSE(ParseOptions({"--output-dir", "out"}).options);               // no source
    EXPECT_FALSE(ParseOptions({"--stop-on-error", "a.mp4", "b.avi"}).options); // one file
}

TEST(OptionsTest, ATargetSizeIsTakenInBytes)
{
    const auto sized = [](const std::string& size) {
        const auto parsed = ParseOptions({"--target-size", size, "a", "b"});
        return parsed.options ? parsed.options->videoSettings : Settings{{"refused", ""}};
    };
    EXPECT_EQ(sized("700M"), (Settings{{"targetsize", "700000000"}}));
    EXPECT_EQ(sized("1.5GB"), (Settings{{"targetsize", "1500000000"}}));
    EXPECT_EQ(sized("650MiB"), (Settings{{"targetsize", "681574400"}}));
    for (const char* wrong : {"0", "-5M", "25 MB", "big", "25X"})
        EXPECT_EQ(sized(wrong), (Settings{{"refused", ""}})) << wrong;
}
