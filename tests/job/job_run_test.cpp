// SPDX-License-Identifier: GPL-2.0-or-later
// One job's run on the fake engine: the messages, progress and outcome it
// reports, and the state it leaves behind, in the cases the window tests do
// not reach.
#include <algorithm>

#include <gtest/gtest.h>

#include "fakes/fake_engine.h"
#include "fakes/fake_front_end.h"
#include "job/worker.h"
#include "res/strings.h"

using namespace calvex;
using Texts = std::vector<std::string>;

namespace {

class JobRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        slots.g_pVideoCompressor.Set(std::make_shared<test::FakeFilter>("video"));
        slots.g_pAudioCompressor.Set(std::make_shared<test::FakeFilter>("audio"));
        settings = {"/clips/in put.mp4", "/clips/out.avi", 1};
    }

    void Convert()
    {
        job::WorkerContext context{engine, frontEnd, frontEnd, slots, settings};
        job::RunConversion(context);
    }

    // Every ended job leaves the window as opened, its graph released.
    void ExpectEnded(long eventCode)
    {
        EXPECT_EQ(frontEnd.phase, job::JobPhase::Idle);
        ASSERT_FALSE(frontEnd.outcomes.empty());
        EXPECT_EQ(frontEnd.outcomes.back().eventCode, eventCode);
        EXPECT_FALSE(slots.g_pCaptureBuilder.IsFilled() || slots.g_pGraph.IsFilled() ||
                     slots.g_pSourceFilter.IsFilled() || slots.g_pMux.IsFilled() ||
                     slots.g_pMediaControl.IsFilled() || slots.g_pMediaEvent.IsFilled() ||
                     slots.g_pMediaSeeking.IsFilled());
    }

    test::FakeEngine engine;
    job::JobSlots slots;
    test::FakeFrontEnd frontEnd{slots};
    job::ConversionSettings settings;
};

} // namespace

TEST_F(JobRunTest, AudioMessagesComeBeforeTheRunAndTheVideoStillConverts)
{
    struct Case {
        int keep, audioStreams;
        Texts messages;
    };
    const std::vector<Case> cases = {
        {0, 0, {strings::kAudioRenderFailed}}, // recompressing a source without audio
        {1, 1, {strings::kAudioRenderFailed}}, // kept audio the AVI cannot take (e.g. Opus)
        {1, 0, {}},                            // no audio to keep is no fault
        {0, 1, {strings::kAudioCompressorFailed, strings::kAudioRenderFailed}}, // none bound
    };
    for (const Case& c : cases) {
        settings.m_bKeepAudio = c.keep;
        if (c.messages.size() == 2)
            slots.g_pAudioCompressor.Release();
        auto builder = engine.PrepareJob();
        builder->renderAudio = false;
        builder->graph->source->audioStreams = c.audioStreams;
        frontEnd.log.clear();
        frontEnd.onMessage = [&](const std::string& text) {
            if (text != strings::kOutcomeComplete) {
                EXPECT_EQ(builder->graph->runCount, 0);
            }
        };
        Convert();
        Texts expected = c.messages;
        expected.push_back(strings::kOutcomeComplete);
        EXPECT_EQ(frontEnd.Entries("message:"), expected) << c.keep << c.audioStreams;
        EXPECT_EQ(builder->graph->runCount, 1);
    }
}

TEST_F(JobRunTest, EachEndShowsItsMessageReasonAndStatusAndLeavesTheWindowAsOpened)
{
    const std::string reason = "Cannot open the source file \"in.mp4\": No such file";
    const std::vector<std::pair<long, const char*>> ends = {
        {media::EC_NONE, strings::kOutcomeTimeOut},
        {media::EC_USERABORT, strings::kOutcomeUserAbort},
        {media::EC_ERRORABORT, strings::kOutcomeErrorAbort},
        {4, nullptr},
        {-1, nullptr}, // compared as unsigned: no message
    };
    for (const auto& [code, text] : ends) {
        test::GraphScript script;
        script.endCode = code;
        script.endReason = code == media::EC_ERRORABORT ? reason : "";
        engine.PrepareJob(script);
        frontEnd.log.clear();
        frontEnd.status = strings::kStatusStarted;
        Convert();
        EXPECT_EQ(frontEnd.Entries("message:"), text ? Texts{text} : Texts{}) << code;
        EXPECT_EQ(frontEnd.Entries("pos:"), (Texts{"100", "0"}));
        // The bar stands full while the outcome's box is up, and empties after it.
        const auto at = [this](const std::string& entry) {
            return std::find(frontEnd.log.begin(), frontEnd.log.end(), entry) -
                   frontEnd.log.begin();
        };
        if (text) {
            EXPECT_LT(at("pos:100"), at(std::string("message:") + text)) << code;
            EXPECT_LT(at(std::string("message:") + text), at("pos:0")) << code;
        }
        ExpectEnded(code);
        EXPECT_EQ(frontEnd.outcomes.back().reason, script.endReason);
    }
    // An end of no known kind leaves the status line as it was.
    EXPECT_EQ(frontEnd.status, strings::kStatusStarted);
}

TEST_F(JobRunTest, AMultiplexerWithoutSeekingEndsWithoutProgressOrMessage)
{
    auto builder = engine.PrepareJob();
    builder->mux->seeking = nullptr;
    Convert();
    EXPECT_EQ(builder->graph->stopCount, 1);
    EXPECT_TRUE(frontEnd.Entries("message:").empty());
    EXPECT_EQ(frontEnd.Entries("pos:"), Texts{"0"});
    ExpectEnded(media::EC_COMPLETE);
}

TEST_F(JobRunTest, AGraphThatCannotBeBuiltStillEndsTheJob)
{
    Convert(); // no builder at all: no call goes through an empty slot
    EXPECT_EQ(frontEnd.Entries("message:"), Texts{strings::kOutcomeErrorAbort});
    ExpectEnded(media::EC_ERRORABORT);

    auto builder = engine.PrepareJob();
    builder->graph->controlOffered = false;
    Convert();
    EXPECT_EQ(builder->graph->runCount, 0);
    ExpectEnded(media::EC_ERRORABORT);
}

TEST_F(JobRunTest, AbortBeforeTheGraphRunsKeepsItFromRunningAndKeepsItsStatus)
{
    auto builder = engine.PrepareJob();
    slots.RequestStop(); // nothing to stop yet
    frontEnd.status = strings::kStatusAbortPressed;
    Convert();
    EXPECT_EQ(builder->graph->runCount, 0);
    EXPECT_EQ(frontEnd.Entries("message:"), Texts{strings::kOutcomeTimeOut});
    EXPECT_EQ(frontEnd.status, strings::kStatusAbortPressed);
    EXPECT_TRUE(frontEnd.outcomes.back().stopRequested);
    ExpectEnded(media::EC_NONE);
}

TEST_F(JobRunTest, AFaultInTheJobEndsItAsAFailureWithItsReason)
{
    test::GraphScript script;
    script.faultInWait = "out of memory";
    auto builder = engine.PrepareJob(script);
    job::ConversionWorker worker(engine, frontEnd, frontEnd, slots);
    worker.Start(settings);
    worker.Join();
    EXPECT_FALSE(worker.IsRunning());
    EXPECT_GT(builder->graph->stopCount, 0);
    EXPECT_EQ(frontEnd.Entries("message:"), Texts{strings::kOutcomeErrorAbort});
    EXPECT_EQ(frontEnd.Entries("reason:"),
              Texts{"The conversion stopped on an internal fault: out of memory"});
    EXPECT_EQ(frontEnd.Entries("bind:"), (Texts{"video", "audio"}));
    ExpectEnded(media::EC_ERRORABORT);
}
