#include <gtest/gtest.h>

#include "fakes/fake_engine.h"
#include "fakes/fake_window.h"
#include "media/graph_slots.h"
#include "media/worker.h"
#include "res/strings.h"

using namespace calvex;
using job::JobButton;

namespace {

// Rebinds by making new numbered compressor instances, as the catalogue does.
class FakeBinder : public media::ICompressorBinder {
public:
    explicit FakeBinder(test::FakeWindow& window) : window(window) {}
    void BindVideoCompressor() override
    {
        media::g_pVideoCompressor.Set(std::make_shared<test::FakeFilter>("video" + Next()));
        window.log.push_back("bind:video");
    }
    void BindAudioCompressor() override
    {
        media::g_pAudioCompressor.Set(std::make_shared<test::FakeFilter>("audio" + Next()));
        window.log.push_back("bind:audio");
    }
    std::string Next() { return "#" + std::to_string(++count); }
    test::FakeWindow& window;
    int count = 0;
};

class WorkerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::OpenWindow(window);
        media::g_pVideoCompressor.Set(std::make_shared<test::FakeFilter>("video"));
        media::g_pAudioCompressor.Set(std::make_shared<test::FakeFilter>("audio"));
        settings.m_strSourceFile = "/clips/in put.mp4";
        settings.m_strOutputFile = "/clips/out.avi";
        settings.m_bKeepAudio = 1;
        media::BeginGraphJob();
    }

    void Convert()
    {
        media::WorkerContext context{engine, window, binder, state, settings};
        media::RunConversion(context);
    }

    void ExpectSlotsEmpty()
    {
        EXPECT_FALSE(media::g_pCaptureBuilder.IsFilled());
        EXPECT_FALSE(media::g_pGraph.IsFilled());
        EXPECT_FALSE(media::g_pSourceFilter.IsFilled());
        EXPECT_FALSE(media::g_pMux.IsFilled());
        EXPECT_FALSE(media::g_pMediaControl.IsFilled());
        EXPECT_FALSE(media::g_pMediaEvent.IsFilled());
        EXPECT_FALSE(media::g_pMediaSeeking.IsFilled());
    }

    void ExpectEndedButtons()
    {
        EXPECT_TRUE(window.enabled[JobButton::Convert]);
        EXPECT_FALSE(window.enabled[JobButton::Abort]);
        EXPECT_TRUE(window.enabled[JobButton::Quit]);
    }

    test::FakeEngine engine;
    test::FakeWindow window;
    FakeBinder binder{window};
    job::JobState state;
    job::ConversionSettings settings;
};

} // namespace

TEST_F(WorkerTest, KeepAudioCopiesTheAudioAndAddsNoAudioCompressor)
{
    auto builder = engine.PrepareJob();
    Convert();

    EXPECT_EQ(builder->outputPath, "/clips/out.avi");
    EXPECT_EQ(builder->graph->calls[0], "AddSourceFilter:/clips/in put.mp4:Source Filter");
    EXPECT_EQ(builder->graph->calls[1], "AddFilter:video:Video Compressor");
    EXPECT_EQ(builder->renders, (std::vector<std::string>{"source>video>mux", "source>->mux"}));
    EXPECT_EQ(builder->graph->runCount, 1);
    EXPECT_EQ(window.Messages(), std::vector<std::string>{strings::kOutcomeComplete});
    ExpectEndedButtons();
    ExpectSlotsEmpty();
}

TEST_F(WorkerTest, RecompressingRoutesTheAudioThroughTheBoundCompressor)
{
    settings.m_bKeepAudio = 0;
    auto builder = engine.PrepareJob();
    Convert();
    EXPECT_EQ(builder->graph->calls[2], "AddFilter:audio:Audio Compressor");
    EXPECT_EQ(builder->renders[1], "source>audio>mux");
    EXPECT_EQ(window.Messages(), std::vector<std::string>{strings::kOutcomeComplete});
}

TEST_F(WorkerTest, AudioThatCannotBeRenderedIsReportedBeforeTheGraphRuns)
{
    settings.m_bKeepAudio = 0;
    auto builder = engine.PrepareJob();
    builder->renderAudio = false;
    builder->graph->source->audioStreams = 0;
    window.onMessage = [&](const std::string&) {
        window.log.push_back("runs:" + std::to_string(builder->graph->runCount));
    };
    Convert();
    EXPECT_EQ(window.Messages(),
              (std::vector<std::string>{strings::kAudioRenderFailed, strings::kOutcomeComplete}));
    EXPECT_EQ(window.log[1], "runs:0"); // shown before the run, and the video still converts
    EXPECT_EQ(builder->graph->runCount, 1);
}

TEST_F(WorkerTest, NoAudioCompressorIsReported)
{
    settings.m_bKeepAudio = 0;
    media::g_pAudioCompressor.Release();
    auto builder = engine.PrepareJob();
    builder->renderAudio = false;
    Convert();
    EXPECT_EQ(window.Messages(),
              (std::vector<std::string>{strings::kAudioCompressorFailed,
                                        strings::kAudioRenderFailed, strings::kOutcomeComplete}));
}

TEST_F(WorkerTest, KeptAudioTheAviCannotTakeIsReportedInsteadOfDropped)
{
    auto builder = engine.PrepareJob();
    builder->renderAudio = false; // e.g. Opus, which the AVI cannot carry unchanged
    Convert();
    EXPECT_EQ(window.Messages().front(), strings::kAudioRenderFailed);
}

TEST_F(WorkerTest, ASourceWithoutAudioInKeepModeShowsNothing)
{
    auto builder = engine.PrepareJob();
    builder->renderAudio = false;
    builder->graph->source->audioStreams = 0;
    Convert();
    EXPECT_EQ(window.Messages(), std::vector<std::string>{strings::kOutcomeComplete});
}

TEST_F(WorkerTest, AMultiplexerWithoutSeekingEndsWithoutProgressOrMessage)
{
    auto builder = engine.PrepareJob();
    builder->mux->seeking = nullptr;
    Convert();
    EXPECT_TRUE(window.Messages().empty());
    EXPECT_EQ(window.Positions(), std::vector<int32_t>{0});
    EXPECT_EQ(window.log.front(), "range:0..100");
    ExpectEndedButtons();
    ExpectSlotsEmpty();
}

TEST_F(WorkerTest, TheEndBindsFreshCompressorsVideoFirst)
{
    engine.PrepareJob();
    Convert();
    const auto bindVideo = std::find(window.log.begin(), window.log.end(), "bind:video");
    ASSERT_NE(bindVideo, window.log.end());
    EXPECT_EQ(*std::next(bindVideo), "bind:audio");
    EXPECT_EQ(test::IdOf(media::g_pVideoCompressor.Get()), "video#1");
}

TEST_F(WorkerTest, TwoJobsInARowUseNewGraphsAndTheReboundCompressors)
{
    auto first = engine.PrepareJob();
    Convert();
    media::BeginGraphJob();
    auto second = engine.PrepareJob();
    Convert();
    EXPECT_NE(first->graph, second->graph);
    EXPECT_EQ(second->graph->calls[1], "AddFilter:video#1:Video Compressor");
}

TEST_F(WorkerTest, AbortBeforeTheGraphRunsKeepsItFromRunning)
{
    auto builder = engine.PrepareJob();
    state.abortPressed = true;
    media::RequestGraphStop(); // nothing to stop yet
    Convert();
    EXPECT_EQ(builder->graph->runCount, 0);
    EXPECT_EQ(window.Messages(), std::vector<std::string>{strings::kOutcomeTimeOut});
    EXPECT_EQ(window.Positions(), (std::vector<int32_t>{100, 0}));
    ExpectEndedButtons();
    ExpectSlotsEmpty();
}

TEST_F(WorkerTest, AGraphThatCannotBeBuiltStillEndsTheJob)
{
    // No builder at all: no call goes through an empty slot.
    Convert();
    EXPECT_EQ(window.Messages(), std::vector<std::string>{strings::kOutcomeErrorAbort});
    ExpectEndedButtons();
    ExpectSlotsEmpty();

    auto builder = engine.PrepareJob();
    builder->graph->controlOffered = false;
    window.log.clear();
    Convert();
    EXPECT_EQ(builder->graph->runCount, 0);
    EXPECT_EQ(window.Messages(), std::vector<std::string>{strings::kOutcomeErrorAbort});
}

TEST_F(WorkerTest, AbortDuringTheRunStopsTheGraphAndTheJobEnds)
{
    test::GraphScript script;
    script.blockUntilStopped = true;
    auto builder = engine.PrepareJob(script);
    media::ConversionWorker worker(engine, window, binder, state);
    worker.Start(settings);
    while (!builder->graph->HasRun())
        std::this_thread::yield();
    state.abortPressed = true;
    media::RequestGraphStop();
    worker.Join();

    EXPECT_FALSE(worker.IsRunning());
    EXPECT_EQ(window.Messages(), std::vector<std::string>{strings::kOutcomeTimeOut});
    ExpectEndedButtons();
    ExpectSlotsEmpty();
}
