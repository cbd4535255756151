// SPDX-License-Identifier: GPL-2.0-or-later
// Convert, Abort and keep-audio against a recording platform.
#include <gtest/gtest.h>

#include "fakes/fake_front_end.h"
#include "job/controller.h"
#include "res/strings.h"

using namespace calvex;
using Texts = std::vector<std::string>;

namespace {

class FakePlatform : public job::IJobPlatform {
public:
    explicit FakePlatform(test::FakeFrontEnd& frontEnd) : frontEnd(frontEnd) {}
    bool WaitForIdleWorker() override
    {
        frontEnd.log.push_back("wait-idle");
        return idle;
    }
    void StartWorker(const job::ConversionSettings& settings) override
    {
        started.push_back(settings);
        frontEnd.log.push_back("start");
    }
    void StopGraph() override { frontEnd.log.push_back("stop"); }

    test::FakeFrontEnd& frontEnd;
    bool idle = true;
    std::vector<job::ConversionSettings> started;
};

class ControllerTest : public ::testing::Test {
protected:
    void Choose(const std::string& source, const std::string& output)
    {
        frontEnd.members = {source, output, 1};
        frontEnd.log.clear();
    }

    job::JobSlots slots;
    test::FakeFrontEnd frontEnd{slots};
    FakePlatform platform{frontEnd};
    job::JobController controller{frontEnd, platform};
};

} // namespace

TEST_F(ControllerTest, EmptyPathsAreRefusedOnceAndNothingElseHappens)
{
    for (auto [source, output] :
         {std::pair{"", "/tmp/out.avi"}, std::pair{"/tmp/in.mp4", ""}, std::pair{"", ""}}) {
        Choose(source, output);
        controller.OnConvert();
        EXPECT_EQ(frontEnd.log,
                  (Texts{"wait-idle", std::string("message:") + strings::kSelectFilesFirst}));
    }
    Choose(" ", "/tmp/out.avi"); // a blank is not empty
    controller.OnConvert();
    EXPECT_EQ(platform.started.size(), 1u);
}

TEST_F(ControllerTest, SourceAsOutputAndOutputsThatAreNoFilesAreRefused)
{
    const std::vector<std::pair<std::string, const char*>> outputs = {
        {"/tmp/same.avi", strings::kSourceIsOutput}, // the source itself
        {"/dev/null", strings::kOutputNotAFile},     // a device
        {"/tmp", strings::kOutputNotAFile}};         // a folder
    for (const auto& [output, message] : outputs) {
        Choose("/tmp/same.avi", output);
        controller.OnConvert();
        EXPECT_EQ(frontEnd.log, (Texts{"wait-idle", std::string("message:") + message}));
    }
    EXPECT_TRUE(platform.started.empty());

    // A path that cannot be looked at is no proof of a FIFO or a folder: the
    // job starts and fails with its own reason.
    Choose("/tmp/same.avi", "/tmp/" + std::string(300, 'x') + ".avi"); // name too long
    controller.OnConvert();
    EXPECT_EQ(platform.started.size(), 1u);
}
