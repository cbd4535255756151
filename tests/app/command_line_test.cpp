// SPDX-License-Identifier: GPL-2.0-or-later
// How the command line picks the start-up mode: switches start with "/" or
// "-" in any letter case, server mode wins over registering, a later shell
// switch replaces an earlier one, and anything else is ignored.
#include "app/command_line.h"

#include <gtest/gtest.h>

namespace calvex::app {
namespace {

TEST(CommandLine, PicksTheStartMode)
{
    const std::vector<std::pair<std::vector<std::string>, StartMode>> cases = {
        {{}, StartMode::Plain},
        {{"/Automation"}, StartMode::Server},
        {{"-embedding"}, StartMode::Server},
        {{"/Register"}, StartMode::Register},
        {{"-REGSERVER"}, StartMode::Register},
        {{"/unregister"}, StartMode::Unregister},
        {{"-Unregserver"}, StartMode::Unregister},
        {{"/Automation", "/Unregister"}, StartMode::Server},
        {{"/Register", "-Embedding"}, StartMode::Server},
        {{"/Register", "/Unregister"}, StartMode::Unregister},
        {{"movie.avi", "--foo", "/Register", "bar"}, StartMode::Register},
        // The shell's print switches, case sensitive, replace a registration switch.
        {{"/Register", "/p"}, StartMode::Plain},
        {{"/Register", "/pt"}, StartMode::Plain},
        {{"/Register", "/dde"}, StartMode::Plain},
        {{"/Register", "/P"}, StartMode::Register},
        {{"video.mp4", "--help", "/Automate", "/Registered", "Register", "-", "/", "", "-x"},
         StartMode::Plain},
    };
    for (const auto& [arguments, mode] : cases) {
        SCOPED_TRACE(::testing::PrintToString(arguments));
        EXPECT_EQ(ChooseStartMode(ParseCommandLine(arguments)), mode);
    }
}

} // namespace
} // namespace calvex::app
