#include <gtest/gtest.h>

#include "fakes/fake_window.h"
#include "job/controller.h"
#include "res/strings.h"

using namespace calvex;
using job::JobButton;

namespace {

class FakePlatform : public job::IJobPlatform {
public:
    explicit FakePlatform(test::FakeWindow& window) : window(window) {}
    void DeleteFile(const std::string& path) override { window.log.push_back("delete:" + path); }
    bool WaitForIdleWorker() override
    {
        window.log.push_back("wait-idle");
        return idle;
    }
    void StartWorker(const job::ConversionSettings& settings) override
    {
        started.push_back(settings);
        window.log.push_back("start");
    }
    void StopGraph() override { window.log.push_back("stop"); }

    test::FakeWindow& window;
    bool idle = true;
    std::vector<job::ConversionSettings> started;
};

class ControllerTest : public ::testing::Test {
protected:
    void SetUp() override { test::OpenWindow(window); }

    void ChoosePaths(const std::string& source, const std::string& output)
    {
        window.members.m_strSourceFile = source;
        window.members.m_strOutputFile = output;
        window.UpdateData(false);
        window.log.clear();
    }

    test::FakeWindow window;
    FakePlatform platform{window};
    job::JobState state;
    job::JobController controller{window, platform, state};
};

} // namespace

TEST_F(ControllerTest, EmptyPathsAreRefusedOnceAndNothingElseHappens)
{
    for (auto [source, output] :
         {std::pair{"", "/tmp/out.avi"}, std::pair{"/tmp/in.mp4", ""}, std::pair{"", ""}}) {
        ChoosePaths(source, output);
        controller.OnConvert();
        EXPECT_EQ(window.log,
                  (std::vector<std::string>{"wait-idle",
                                            std::string("message:") + strings::kSelectFilesFirst}));
        EXPECT_TRUE(platform.started.empty());
        EXPECT_TRUE(window.enabled[JobButton::Convert]);
    }
}

TEST_F(ControllerTest, SourceAsOutputIsRefusedAndNothingIsDeleted)
{
    ChoosePaths("/tmp/same.avi", "/tmp/same.avi");
    controller.OnConvert();
    EXPECT_EQ(window.Messages(), std::vector<std::string>{strings::kSourceIsOutput});
    EXPECT_EQ(std::count(window.log.begin(), window.log.end(), "delete:/tmp/same.avi"), 0);
    EXPECT_TRUE(platform.started.empty());
}

TEST_F(ControllerTest, ABlankPathIsNotEmpty)
{
    ChoosePaths(" ", "/tmp/out.avi");
    controller.OnConvert();
    EXPECT_EQ(platform.started.size(), 1u);
}

TEST_F(ControllerTest, ConvertPutsTheWindowIntoTheRunningState)
{
    ChoosePaths("/tmp/in.mp4", "/tmp/out.avi");
    window.keepAudioBox = false; // the box as the user left it
    controller.OnConvert();

    EXPECT_EQ(window.log,
              (std::vector<std::string>{
                  "wait-idle", "update:save", "delete:/tmp/out.avi", "enable:2:off",
                  std::string("status:") + strings::kStatusStarted, "start", "enable:0:off",
                  "enable:1:on", "enable:3:off", "enable:4:off", "update:show"}));
    ASSERT_EQ(platform.started.size(), 1u);
    EXPECT_EQ(platform.started[0].m_bKeepAudio, 0);
    EXPECT_EQ(window.statusEdit, strings::kStatusStarted);
}

TEST_F(ControllerTest, ConvertWaitsForTheWorkerOfTheJobBefore)
{
    ChoosePaths("/tmp/in.mp4", "/tmp/out.avi");
    platform.idle = false;
    controller.OnConvert();
    EXPECT_EQ(window.log, std::vector<std::string>{"wait-idle"});
    EXPECT_TRUE(platform.started.empty());
}

TEST_F(ControllerTest, AbortStopsTheGraphAndLeavesQuitAsItIs)
{
    ChoosePaths("/tmp/in.mp4", "/tmp/out.avi");
    controller.OnConvert();
    window.log.clear();
    controller.OnAbort();

    EXPECT_EQ(window.log.front(), "stop");
    EXPECT_TRUE(state.abortPressed);
    EXPECT_TRUE(window.enabled[JobButton::Convert]);
    EXPECT_FALSE(window.enabled[JobButton::Abort]);
    EXPECT_FALSE(window.enabled[JobButton::Quit]);
    EXPECT_TRUE(window.enabled[JobButton::VideoProperties]);
    EXPECT_TRUE(window.enabled[JobButton::AudioProperties]);
    EXPECT_EQ(window.statusEdit, strings::kStatusAbortPressed);
}

TEST_F(ControllerTest, ANewJobForgetsTheAbortOfTheOneBefore)
{
    ChoosePaths("/tmp/in.mp4", "/tmp/out.avi");
    controller.OnConvert();
    controller.OnAbort();
    controller.OnConvert();
    EXPECT_FALSE(state.abortPressed);
}

TEST_F(ControllerTest, UncheckingKeepAudioWarnsAndCheckingDoesNot)
{
    window.keepAudioBox = false;
    controller.OnKeepAudioClicked();
    window.keepAudioBox = true;
    controller.OnKeepAudioClicked();
    EXPECT_EQ(window.Messages(), std::vector<std::string>{strings::kAudioCaution});
    EXPECT_EQ(window.members.m_bKeepAudio, 1); // stored only at the next exchange
}
