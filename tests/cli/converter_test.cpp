#include <cstdio>
#include <thread>

#include <gtest/gtest.h>

#include "cli/converter.h"
#include "fakes/fake_engine.h"
#include "media/graph_slots.h"
#include "res/strings.h"

using namespace calvex;

namespace {

// Captures what the converter writes to a terminal.
class Capture {
public:
    Capture() : file(std::tmpfile()) {}
    ~Capture() { std::fclose(file); }
    std::string Text()
    {
        std::fflush(file);
        std::rewind(file);
        std::string text;
        for (int c; (c = std::fgetc(file)) != EOF;)
            text += static_cast<char>(c);
        return text;
    }
    std::FILE* file;
};

class ConverterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        engine.devices->video = {std::make_shared<test::FakeMoniker>("MPEG-4 part 2", "mpeg4"),
                                 std::make_shared<test::FakeMoniker>("H.264", "libx264")};
        engine.devices->audio = {std::make_shared<test::FakeMoniker>("MP3", "libmp3lame")};
        settings.m_strSourceFile = "/in.mp4";
        settings.m_strOutputFile = "/nonexistent-dir/out.avi";
        settings.m_bKeepAudio = 1;
    }

    int Convert(const cli::Options& options, test::GraphScript script = {})
    {
        builder = engine.PrepareJob(script);
        builder->mux->seeking = seeking;
        cli::TerminalWindow window(settings, messages.file, progress.file);
        cli::Converter converter(engine, window);
        std::string error;
        EXPECT_TRUE(converter.SelectEncoders(options, error)) << error;
        return converter.Run(interrupted);
    }

    test::FakeEngine engine;
    job::ConversionSettings settings;
    std::shared_ptr<test::FakeSeeking> seeking = std::make_shared<test::FakeSeeking>();
    std::shared_ptr<test::FakeBuilder> builder;
    std::atomic<bool> interrupted{false};
    Capture messages, progress;
};

} // namespace

TEST_F(ConverterTest, ACompletedJobExitsZeroAndPrintsTheWindowsTexts)
{
    seeking->duration = 100;
    seeking->positions = {50};
    cli::Options options;
    options.videoEncoder = "libx264";
    test::GraphScript script;
    script.ticks = 1;
    EXPECT_EQ(Convert(options, script), 0);
    EXPECT_EQ(messages.Text(), std::string(strings::kOutcomeComplete) + "\n");
    EXPECT_EQ(progress.Text(), "49%\n100%\n");
    EXPECT_EQ(builder->graph->calls[1], "AddFilter:libx264#1:Video Compressor");
}

TEST_F(ConverterTest, AFailedJobExitsNonZero)
{
    test::GraphScript script;
    script.endCode = media::EC_ERRORABORT;
    EXPECT_EQ(Convert({}, script), 1);
    EXPECT_EQ(messages.Text(), std::string(strings::kOutcomeErrorAbort) + "\n");
}

TEST_F(ConverterTest, TheSourceAsOutputIsRefusedWithTheWindowsMessage)
{
    settings.m_strOutputFile = settings.m_strSourceFile;
    EXPECT_EQ(Convert({}), 1);
    EXPECT_EQ(messages.Text(), std::string(strings::kSourceIsOutput) + "\n");
    EXPECT_TRUE(engine.builders.empty());
}

TEST_F(ConverterTest, AnInterruptAbortsTheRunningJob)
{
    test::GraphScript script;
    script.blockUntilStopped = true; // runs until it is stopped
    builder = engine.PrepareJob(script);
    std::thread user([&] {
        // Ctrl-C once the graph runs.
        while (!builder->graph->HasRun())
            std::this_thread::yield();
        interrupted = true;
    });
    cli::TerminalWindow window(settings, messages.file, progress.file);
    cli::Converter converter(engine, window);
    std::string error;
    ASSERT_TRUE(converter.SelectEncoders({}, error));
    EXPECT_EQ(converter.Run(interrupted), 130);
    user.join();
    EXPECT_EQ(messages.Text(), std::string(strings::kOutcomeTimeOut) + "\n");
}

TEST_F(ConverterTest, UnknownEncoderNamesAreRefused)
{
    cli::TerminalWindow window(settings, messages.file, progress.file);
    cli::Converter converter(engine, window);
    cli::Options options;
    options.audioEncoder = "nonesuch";
    std::string error;
    EXPECT_FALSE(converter.SelectEncoders(options, error));
    EXPECT_NE(error.find("nonesuch"), std::string::npos);
}
