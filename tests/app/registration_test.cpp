// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/registration.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace calvex::app {
namespace {
namespace fs = std::filesystem;

// The bus splits the Exec line as a shell does.
TEST(Registration, TheBusCanRunAProgramWhosePathHasSpacesOrQuotes)
{
    EXPECT_NE(
        ServiceFileText("/opt/my apps/calvex").find("\nExec='/opt/my apps/calvex' /Automation\n"),
        std::string::npos);
    EXPECT_NE(
        ServiceFileText("/opt/it's/calvex").find("\nExec='/opt/it'\\''s/calvex' /Automation\n"),
        std::string::npos);
}

// Another version's interface description may be in use: it stays.
TEST(Registration, UnregisteringLeavesAnotherVersionsDescription)
{
    std::string dataHome = (fs::temp_directory_path() / "calvex-reg-XXXXXX").string();
    ASSERT_NE(mkdtemp(dataHome.data()), nullptr);
    ASSERT_TRUE(RegisterServer("/usr/bin/calvex", dataHome));
    const RegistrationFiles files = RegistrationFilesUnder(dataHome);
    std::stringstream xml;
    xml << std::ifstream(files.interfaceFile).rdbuf();
    std::string other = xml.str();
    const std::string version = "\"Calvex.TypeLibrary.Version\" value=\"1.0\"";
    ASSERT_NE(other.find(version), std::string::npos);
    std::ofstream(files.interfaceFile) << other.replace(
        other.find(version), version.size(), "\"Calvex.TypeLibrary.Version\" value=\"2.0\"");
    EXPECT_TRUE(UnregisterServer(dataHome));
    EXPECT_FALSE(fs::exists(files.serviceFile));
    EXPECT_TRUE(fs::exists(files.interfaceFile));
    fs::remove_all(dataHome);
}

} // namespace
} // namespace calvex::app
