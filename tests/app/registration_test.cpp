#include "app/registration.h"

#include "app/type_library.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace calvex::app {
namespace {
namespace fs = std::filesystem;

std::string ReadText(const fs::path& path)
{
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteText(const fs::path& path, const std::string& text)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
}

class Registration : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "calvex-reg-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_dataHome = pattern;
    }
    void TearDown() override { fs::remove_all(m_dataHome); }

    fs::path m_dataHome;
};

TEST_F(Registration, FilesLieUnderDbusFolders)
{
    const RegistrationFiles files = RegistrationFilesUnder("/x/share");
    EXPECT_EQ(files.serviceFile, "/x/share/dbus-1/services/Calvex.Application.service");
    EXPECT_EQ(files.interfaceFile, "/x/share/dbus-1/interfaces/Calvex.ICalvex.xml");
}

TEST_F(Registration, DataHomeFollowsXdgDataHome)
{
    const char* saved = std::getenv("XDG_DATA_HOME");
    const std::string savedValue = saved ? saved : "";
    setenv("XDG_DATA_HOME", "/some/where", 1);
    EXPECT_EQ(UserDataHome(), "/some/where");
    setenv("XDG_DATA_HOME", "relative/path", 1);
    EXPECT_EQ(UserDataHome(), fs::path(std::getenv("HOME")) / ".local/share");
    unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(UserDataHome(), fs::path(std::getenv("HOME")) / ".local/share");
    if (saved)
        setenv("XDG_DATA_HOME", savedValue.c_str(), 1);
}

TEST_F(Registration, ServiceFileNamesBusNameProgramAndClass)
{
    EXPECT_EQ(ServiceFileText("/usr/bin/calvex"),
              "[D-BUS Service]\n"
              "Name=Calvex.Application\n"
              "Exec=/usr/bin/calvex /Automation\n"
              "X-Calvex-CLSID={2ECF7ED6-07C1-4B5F-99DE-44C97E355C7F}\n");
}

TEST_F(Registration, ServiceFileQuotesAPathWithSpaces)
{
    EXPECT_NE(ServiceFileText("/opt/my apps/calvex").find("Exec='/opt/my apps/calvex' /Automation"),
              std::string::npos);
    EXPECT_NE(ServiceFileText("/opt/it's/calvex").find("Exec='/opt/it'\\''s/calvex' /Automation"),
              std::string::npos);
}

TEST_F(Registration, RunningProgramPathIsAbsolute)
{
    const fs::path program = RunningProgramPath();
    EXPECT_TRUE(program.is_absolute());
    EXPECT_EQ(program.filename(), "calvex_app_tests");
}

TEST_F(Registration, RegisterWritesBothFiles)
{
    ASSERT_TRUE(RegisterServer("/usr/bin/calvex", m_dataHome));
    const RegistrationFiles files = RegistrationFilesUnder(m_dataHome);
    EXPECT_EQ(ReadText(files.serviceFile), ServiceFileText("/usr/bin/calvex"));
    EXPECT_EQ(ReadText(files.interfaceFile), TypeLibraryXml());
    EXPECT_FALSE(fs::exists(files.serviceFile.string() + ".part"));
}

TEST_F(Registration, RegisterReplacesAnOlderRegistration)
{
    const RegistrationFiles files = RegistrationFilesUnder(m_dataHome);
    WriteText(files.serviceFile,
              "[D-BUS Service]\nName=Calvex.Application\nExec=/old /Automation\n");
    ASSERT_TRUE(RegisterServer("/new/calvex", m_dataHome));
    EXPECT_EQ(ReadText(files.serviceFile), ServiceFileText("/new/calvex"));
}

TEST_F(Registration, RegisterIntoAnUnwritablePlaceFails)
{
    WriteText(m_dataHome / "file", "not a folder");
    EXPECT_FALSE(RegisterServer("/usr/bin/calvex", m_dataHome / "file"));
}

TEST_F(Registration, UnregisterRemovesBothFiles)
{
    ASSERT_TRUE(RegisterServer("/usr/bin/calvex", m_dataHome));
    EXPECT_TRUE(UnregisterServer(m_dataHome));
    const RegistrationFiles files = RegistrationFilesUnder(m_dataHome);
    EXPECT_FALSE(fs::exists(files.serviceFile));
    EXPECT_FALSE(fs::exists(files.interfaceFile));
}

TEST_F(Registration, UnregisterWithNothingRegisteredSucceeds)
{
    EXPECT_TRUE(UnregisterServer(m_dataHome));
}

TEST_F(Registration, UnregisterKeepsAnotherVersionOfTheTypeLibrary)
{
    const RegistrationFiles files = RegistrationFilesUnder(m_dataHome);
    std::string other = TypeLibraryXml();
    const std::string version = "name=\"Calvex.TypeLibrary.Version\" value=\"1.0\"";
    ASSERT_NE(other.find(version), std::string::npos);
    other.replace(other.find(version), version.size(),
                  "name=\"Calvex.TypeLibrary.Version\" value=\"2.0\"");
    WriteText(files.interfaceFile, other);
    UnregisterServer(m_dataHome);
    EXPECT_TRUE(fs::exists(files.interfaceFile));
}

TEST_F(Registration, TypeLibraryIsRecognisedByLibidVersionAndLocale)
{
    EXPECT_TRUE(IsCalvexTypeLibrary1_0(TypeLibraryXml()));
    std::string otherLocale = TypeLibraryXml();
    const std::string locale = "name=\"Calvex.TypeLibrary.Locale\" value=\"0\"";
    ASSERT_NE(otherLocale.find(locale), std::string::npos);
    otherLocale.replace(otherLocale.find(locale), locale.size(),
                        "name=\"Calvex.TypeLibrary.Locale\" value=\"1033\"");
    EXPECT_FALSE(IsCalvexTypeLibrary1_0(otherLocale));
    EXPECT_FALSE(IsCalvexTypeLibrary1_0("<node><interface name='Calvex.ICalvex'/></node>"));
    EXPECT_FALSE(IsCalvexTypeLibrary1_0("not xml"));
}

} // namespace
} // namespace calvex::app
