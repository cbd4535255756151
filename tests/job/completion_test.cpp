#include <gtest/gtest.h>

#include "fakes/fake_engine.h"
#include "fakes/fake_window.h"
#include "job/completion.h"
#include "res/strings.h"

using namespace calvex;
using job::JobButton;

namespace {

class FakeGraphEnd : public job::IGraphEnd {
public:
    explicit FakeGraphEnd(test::FakeWindow& window) : window(window) {}
    void StopGraph() override { window.log.push_back("graph-stop"); }
    void ReleaseMediaSeeking() override { window.log.push_back("release-seeking"); }
    void ResetGraphObjects() override
    {
        window.SetProgressPos(0);
        window.log.push_back("reset");
    }
    test::FakeWindow& window;
};

class CompletionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::OpenWindow(window);
        // The running state, as Convert leaves it.
        window.enabled = {{JobButton::Convert, false},
                          {JobButton::Abort, true},
                          {JobButton::Quit, false},
                          {JobButton::VideoProperties, false},
                          {JobButton::AudioProperties, false}};
        window.m_strStatus = strings::kStatusStarted;
        window.UpdateData(false);
        window.log.clear();
    }

    void Run(long code, int ticks = 0)
    {
        test::GraphScript script;
        script.ticks = ticks;
        script.endCode = code;
        graph = std::make_shared<test::FakeGraph>(script);
        completion.PollAndFinish(*graph, seeking);
    }

    void ExpectEndedButtons()
    {
        EXPECT_TRUE(window.enabled[JobButton::Convert]);
        EXPECT_FALSE(window.enabled[JobButton::Abort]);
        EXPECT_TRUE(window.enabled[JobButton::Quit]);
        EXPECT_TRUE(window.enabled[JobButton::VideoProperties]);
        EXPECT_TRUE(window.enabled[JobButton::AudioProperties]);
    }

    test::FakeWindow window;
    FakeGraphEnd graphEnd{window};
    job::JobState state;
    job::JobCompletion completion{window, graphEnd, state};
    test::FakeSeeking seeking;
    std::shared_ptr<test::FakeGraph> graph;
};

} // namespace

TEST_F(CompletionTest, ProgressIsSentOncePerTimedOutWait)
{
    seeking.duration = 1'000'000'000;
    seeking.positions = {500'000'000, 1'000'000'000};
    Run(media::EC_COMPLETE, 2);
    EXPECT_EQ(window.Positions(), (std::vector<int32_t>{49, 99, 100, 0}));
    EXPECT_EQ(seeking.durationReads, 1);
    EXPECT_EQ(graph->calls.front(), "Wait:1000");
}

TEST_F(CompletionTest, TheBarNeverShowsMoreThanHundred)
{
    seeking.duration = 0;
    seeking.positions = {3};
    Run(media::EC_COMPLETE, 1);
    EXPECT_EQ(window.Positions().front(), 100);
}

TEST_F(CompletionTest, AJobEndingWithinItsFirstSecondShowsNoIntermediateValue)
{
    Run(media::EC_COMPLETE);
    EXPECT_EQ(window.Positions(), (std::vector<int32_t>{100, 0}));
    EXPECT_EQ(window.Messages(), std::vector<std::string>{strings::kOutcomeComplete});
}

TEST_F(CompletionTest, CompletedRestoresTheOpenedState)
{
    Run(media::EC_COMPLETE);
    ExpectEndedButtons();
    EXPECT_EQ(window.statusEdit, strings::kStatusCompleted);
    // The message comes before any change, then the graph stops twice (outcome, common end).
    const auto message = std::find(window.log.begin(), window.log.end(),
                                   std::string("message:") + strings::kOutcomeComplete);
    EXPECT_EQ(std::next(message)->rfind("graph-stop", 0), 0u);
    EXPECT_EQ(std::count(window.log.begin(), window.log.end(), "graph-stop"), 2);
}

TEST_F(CompletionTest, EachFailureCodeShowsItsMessageAndEndsTheJob)
{
    const std::pair<long, const char*> rows[] = {{0, strings::kOutcomeTimeOut},
                                                 {2, strings::kOutcomeUserAbort},
                                                 {3, strings::kOutcomeErrorAbort}};
    for (auto [code, text] : rows) {
        SetUp();
        Run(code);
        EXPECT_EQ(window.Messages(), std::vector<std::string>{text}) << code;
        // The bar shows 100 while the message is up, then 0.
        EXPECT_EQ(window.Positions(), (std::vector<int32_t>{100, 0})) << code;
        ExpectEndedButtons();
        EXPECT_EQ(window.statusEdit, text) << code;
        EXPECT_EQ(std::count(window.log.begin(), window.log.end(), "release-seeking"), 1);
    }
}

TEST_F(CompletionTest, AnAbortedJobKeepsTheAbortStatus)
{
    state.abortPressed = true;
    window.m_strStatus = strings::kStatusAbortPressed;
    window.UpdateData(false);
    Run(media::EC_NONE);
    EXPECT_EQ(window.Messages(), std::vector<std::string>{strings::kOutcomeTimeOut});
    EXPECT_EQ(window.statusEdit, strings::kStatusAbortPressed);
    ExpectEndedButtons();
}

TEST_F(CompletionTest, UnknownAndNegativeCodesShowNothing)
{
    for (long code : {4L, 99L, -1L, -3L}) {
        SetUp();
        Run(code);
        EXPECT_TRUE(window.Messages().empty()) << code;
        EXPECT_EQ(std::count(window.log.begin(), window.log.end(), "release-seeking"), 1);
        EXPECT_EQ(window.log.back(), "enable:4:on");
        ExpectEndedButtons();
    }
}

TEST_F(CompletionTest, ARunWithoutPositionWaitsWithoutTimeOutAndReportsNothing)
{
    test::GraphScript script;
    script.ticks = 3; // would time out if the wait had a time-out
    script.endCode = media::EC_ERRORABORT;
    test::FakeGraph graphWithoutSeeking(script);
    completion.WaitAndEnd(graphWithoutSeeking);

    EXPECT_EQ(graphWithoutSeeking.calls, std::vector<std::string>{"Wait:4294967295"});
    EXPECT_TRUE(window.Messages().empty());
    EXPECT_EQ(window.Positions(), std::vector<int32_t>{0});
    EXPECT_EQ(std::count(window.log.begin(), window.log.end(), "release-seeking"), 0);
    ExpectEndedButtons();
}
