// SPDX-License-Identifier: GPL-2.0-or-later
// calvex-convert's job on the fake engine: what it prints and its exit status.
#include <cstdio>
#include <thread>

#include <gtest/gtest.h>

#include "cli/converter.h"
#include "fakes/fake_engine.h"
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
        std::rewind(file);
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
    }

    int Convert(const cli::Options& options = {})
    {
        cli::TerminalFrontEnd frontEnd(settings, options.progress, out.file, err.file, false);
        job::JobSlots slots;
        cli::Converter converter(engine, frontEnd, slots);
        std::string error;
        EXPECT_TRUE(converter.SelectEncoders(options, error)) << error;
        return converter.Run(interrupted);
    }

    test::FakeEngine engine;
    job::ConversionSettings settings{"/in.mp4", "/nonexistent-dir/out.avi", 1};
    std::atomic<bool> interrupted{false};
    Capture out, err;
};

} // namespace

TEST_F(ConverterTest, TheExitStatusComesFromTheOutcome)
{
    test::GraphScript script;
    script.ticks = 1;
    auto builder = engine.PrepareJob(script);
    auto seeking = std::dynamic_pointer_cast<test::FakeSeeking>(builder->mux->seeking);
    seeking->duration = 600'000'000; // a minute

    seeking->positions = {300'000'000, 600'000'000};
    cli::Options options;
    options.videoEncoder = "libx264";
    EXPECT_EQ(Convert(options), 0);
    // A line a second, the last one at the end, then the outcome.
    const std::string said = err.Text();
    EXPECT_EQ(said.find(" 49%  0:00:30 of 0:01:00"), 0u) << said;
    EXPECT_NE(said.find("\n100%  0:01:00 of 0:01:00"), std::string::npos) << said;
    EXPECT_NE(said.find("x  0:00:00 left\n" + std::string(strings::kOutcomeComplete) + "\n"),
              std::string::npos)
        << said;
    EXPECT_TRUE(out.Text().empty()); // stdout carries only what was asked for
    EXPECT_EQ(builder->graph->calls[1], "AddFilter:libx264#1:Video Compressor");

    for (long code : {media::EC_NONE, media::EC_USERABORT, media::EC_ERRORABORT, 7L}) {
        script.endCode = code;
        script.endReason = "the reason";
        engine.PrepareJob(script);
        EXPECT_EQ(Convert(), 1) << code;
    }
    EXPECT_NE(err.Text().find("the reason\n"), std::string::npos);

    settings.m_strOutputFile = settings.m_strSourceFile; // refused before any job
    const size_t jobs = engine.builders.size();
    EXPECT_EQ(Convert(), 1);
    EXPECT_EQ(engine.builders.size(), jobs);
}

TEST_F(ConverterTest, AnInterruptAbortsTheRunningJob)
{
    test::GraphScript script;
    script.blockUntilStopped = true; // runs until it is stopped
    auto builder = engine.PrepareJob(script);
    std::thread user([&] {
        while (!builder->graph->HasRun())
            std::this_thread::yield();
        interrupted = true; // Ctrl-C once the graph runs
    });
    cli::Options options;
    options.progress = cli::Options::Progress::Machine;
    EXPECT_EQ(Convert(options), 130);
    user.join();
    EXPECT_EQ(err.Text(), std::string(strings::kOutcomeTimeOut) + "\n");
    EXPECT_NE(out.Text().find("progress=end\noutcome=aborted\nreason=\n"), std::string::npos);
}

TEST_F(ConverterTest, UnknownEncodersSettingsAndPresetsAreRefusedByName)
{
    cli::TerminalFrontEnd frontEnd(settings, {}, out.file, err.file, false);
    job::JobSlots slots;
    cli::Converter converter(engine, frontEnd, slots);
    cli::Options options;
    std::string error;
    ASSERT_TRUE(converter.SelectEncoders(options, error)) << error;
    EXPECT_EQ(test::IdOf(slots.g_pVideoCompressor.Get()), "mpeg4#1"); // not the first listed
    options.audioEncoder = "nonesuch";
    EXPECT_FALSE(converter.SelectEncoders(options, error));
    EXPECT_NE(error.find("nonesuch"), std::string::npos);
    options.audioEncoder.clear();
    options.videoSettings = {{"gop", "12"}};
    EXPECT_FALSE(converter.SelectEncoders(options, error));
    EXPECT_NE(error.find("no setting named gop"), std::string::npos);
    options.videoSettings.clear();
    options.preset = "fast";
    EXPECT_FALSE(converter.SelectEncoders(options, error));
    EXPECT_NE(error.find("has no presets"), std::string::npos);
}
