#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <filesystem>

#include "core/base/app_paths.h"
#include "core/base/path_text.h"
#include "settings_place.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;
using test::SettingsPlace;

TEST(AppPathsWindows, TheExecutableAndTheRoamingApplicationDataFolder)
{
    EXPECT_TRUE(ExecutablePath().is_absolute()) << ExecutablePath();
    EXPECT_EQ(ExecutablePath().extension(), ".exe");
    EXPECT_TRUE(fs::is_regular_file(ExecutablePath()));
    // The system sets %APPDATA% from the same known folder.
    const char* appData = std::getenv("APPDATA"); // NOLINT(concurrency-mt-unsafe)
    ASSERT_NE(appData, nullptr);
    EXPECT_TRUE(fs::equivalent(ConfigHome(), PathFromUtf8(appData))) << ConfigHome();
}

// The read-only attribute stands for the permission bits: such a file gives
// the first values, and the saves go to %APPDATA%\Pelmora.
TEST_F(SettingsPlace, AReadOnlyFileBesideTheProgramGivesTheFirstValuesOnly)
{
    const fs::path file = dir_ / "portable" / "Pelmora.ini";
    ASSERT_NE(::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY), 0);
    Expect("portable", "empty-home", "portable/Pelmora.ini", "empty-home/Pelmora/Pelmora.ini");
    Expect("portable", "used-home", "used-home/Pelmora/Pelmora.ini",
           "used-home/Pelmora/Pelmora.ini");
    ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
}

} // namespace
} // namespace pelmora
