#include "app/command_line.h"

#include <gtest/gtest.h>

namespace calvex::app {
namespace {

StartMode ModeOf(const std::vector<std::string>& arguments)
{
    return ChooseStartMode(ParseCommandLine(arguments));
}

TEST(CommandLine, EmptyIsAPlainStart)
{
    const CommandLineInfo info = ParseCommandLine({});
    EXPECT_FALSE(info.m_bRunEmbedded);
    EXPECT_FALSE(info.m_bRunAutomated);
    EXPECT_EQ(info.m_nShellCommand, ShellCommand::FileNew);
    EXPECT_EQ(ChooseStartMode(info), StartMode::Plain);
}

TEST(CommandLine, AutomationAndEmbeddingSelectServerMode)
{
    EXPECT_TRUE(ParseCommandLine({"/Automation"}).m_bRunAutomated);
    EXPECT_TRUE(ParseCommandLine({"/Embedding"}).m_bRunEmbedded);
    EXPECT_EQ(ModeOf({"/Automation"}), StartMode::Server);
    EXPECT_EQ(ModeOf({"/Embedding"}), StartMode::Server);
}

TEST(CommandLine, RegisterAndRegserverSelectRegister)
{
    EXPECT_EQ(ParseCommandLine({"/Register"}).m_nShellCommand, ShellCommand::AppRegister);
    EXPECT_EQ(ModeOf({"/Register"}), StartMode::Register);
    EXPECT_EQ(ModeOf({"/Regserver"}), StartMode::Register);
}

TEST(CommandLine, UnregisterAndUnregserverSelectUnregister)
{
    EXPECT_EQ(ParseCommandLine({"/Unregister"}).m_nShellCommand, ShellCommand::AppUnregister);
    EXPECT_EQ(ModeOf({"/Unregister"}), StartMode::Unregister);
    EXPECT_EQ(ModeOf({"/Unregserver"}), StartMode::Unregister);
}

TEST(CommandLine, DashWorksAsSlash)
{
    EXPECT_EQ(ModeOf({"-Automation"}), StartMode::Server);
    EXPECT_EQ(ModeOf({"-Embedding"}), StartMode::Server);
    EXPECT_EQ(ModeOf({"-Register"}), StartMode::Register);
    EXPECT_EQ(ModeOf({"-Unregserver"}), StartMode::Unregister);
}

TEST(CommandLine, LetterCaseDoesNotMatter)
{
    EXPECT_EQ(ModeOf({"/automation"}), StartMode::Server);
    EXPECT_EQ(ModeOf({"/EMBEDDING"}), StartMode::Server);
    EXPECT_EQ(ModeOf({"-rEgIsTeR"}), StartMode::Register);
    EXPECT_EQ(ModeOf({"/REGSERVER"}), StartMode::Register);
    EXPECT_EQ(ModeOf({"/unregister"}), StartMode::Unregister);
    EXPECT_EQ(ModeOf({"-UNREGSERVER"}), StartMode::Unregister);
}

TEST(CommandLine, ServerModeWinsOverUnregistration)
{
    EXPECT_EQ(ModeOf({"/Automation", "/Unregister"}), StartMode::Server);
    EXPECT_EQ(ModeOf({"/Unregister", "/Automation"}), StartMode::Server);
    EXPECT_EQ(ModeOf({"/Register", "-embedding"}), StartMode::Server);
}

TEST(CommandLine, UnknownArgumentsAreIgnored)
{
    for (const std::vector<std::string>& arguments :
         std::vector<std::vector<std::string>>{{"video.mp4"},
                                               {"/home/user/video.mp4"},
                                               {"--help"},
                                               {"/Automate"},
                                               {"/Registered"},
                                               {"-"},
                                               {"/"},
                                               {""},
                                               {"Register"},
                                               {"/P"},
                                               {"-x", "--verbose", "file.avi"}}) {
        SCOPED_TRACE(arguments.front());
        const CommandLineInfo info = ParseCommandLine(arguments);
        EXPECT_FALSE(info.m_bRunEmbedded);
        EXPECT_FALSE(info.m_bRunAutomated);
        EXPECT_EQ(ChooseStartMode(info), StartMode::Plain);
    }
}

TEST(CommandLine, SwitchesAmongOtherArgumentsStillCount)
{
    EXPECT_EQ(ModeOf({"movie.avi", "--foo", "/Register", "bar"}), StartMode::Register);
    EXPECT_EQ(ModeOf({"x", "-Automation", "y"}), StartMode::Server);
}

TEST(CommandLine, FirstPlainArgumentIsTheFileToOpen)
{
    const CommandLineInfo info = ParseCommandLine({"a.avi", "b.avi"});
    EXPECT_EQ(info.m_strFileName, "a.avi");
    EXPECT_EQ(info.m_nShellCommand, ShellCommand::FileOpen);
}

TEST(CommandLine, LaterShellSwitchReplacesEarlierOne)
{
    EXPECT_EQ(ModeOf({"/Register", "/Unregister"}), StartMode::Unregister);
    EXPECT_EQ(ModeOf({"/Unregister", "/Register"}), StartMode::Register);
    // The shell's print switch, case sensitive, replaces a registration switch.
    EXPECT_EQ(ParseCommandLine({"/Register", "/p"}).m_nShellCommand, ShellCommand::FilePrint);
    EXPECT_EQ(ModeOf({"/Register", "/p"}), StartMode::Plain);
    EXPECT_EQ(ParseCommandLine({"/pt"}).m_nShellCommand, ShellCommand::FilePrintTo);
    EXPECT_EQ(ParseCommandLine({"/dde"}).m_nShellCommand, ShellCommand::FileDDE);
    EXPECT_EQ(ModeOf({"/Register", "/P"}), StartMode::Register);
}

} // namespace
} // namespace calvex::app
