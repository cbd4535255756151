#include <gtest/gtest.h>

#include "cli/options.h"

using namespace calvex::cli;

TEST(OptionsTest, DefaultsKeepTheAudioAndTakeTheFirstEncoders)
{
    const auto parsed = ParseOptions({"in.mp4", "out.avi"});
    ASSERT_TRUE(parsed.options);
    EXPECT_EQ(parsed.options->action, Options::Action::Convert);
    EXPECT_TRUE(parsed.options->keepAudio);
    EXPECT_TRUE(parsed.options->videoEncoder.empty());
    EXPECT_EQ(parsed.options->source, "in.mp4");
    EXPECT_EQ(parsed.options->output, "out.avi");
}

TEST(OptionsTest, AnAudioEncoderMeansReEncoding)
{
    const auto parsed = ParseOptions({"--video", "mpeg4", "--audio", "libmp3lame", "a", "b"});
    ASSERT_TRUE(parsed.options);
    EXPECT_FALSE(parsed.options->keepAudio);
    EXPECT_EQ(parsed.options->videoEncoder, "mpeg4");
    EXPECT_EQ(parsed.options->audioEncoder, "libmp3lame");
}

TEST(OptionsTest, PathsMayStartWithADashAfterTheEndOfOptions)
{
    const auto parsed = ParseOptions({"--", "-in.mp4", "out put.avi"});
    ASSERT_TRUE(parsed.options);
    EXPECT_EQ(parsed.options->source, "-in.mp4");
}

TEST(OptionsTest, MistakesAreRefusedWithAReason)
{
    for (const auto& arguments :
         std::vector<std::vector<std::string>>{{"in.mp4"},
                                               {"a", "b", "c"},
                                               {"--video"},
                                               {"--frobnicate", "a", "b"},
                                               {"--audio", "aac", "--keep-audio", "a", "b"}}) {
        const auto parsed = ParseOptions(arguments);
        EXPECT_FALSE(parsed.options);
        EXPECT_FALSE(parsed.error.empty());
    }
}

TEST(OptionsTest, ListAndHelpNeedNoFiles)
{
    EXPECT_EQ(ParseOptions({"--list"}).options->action, Options::Action::List);
    EXPECT_EQ(ParseOptions({"--help"}).options->action, Options::Action::Help);
}
