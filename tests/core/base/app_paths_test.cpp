#include "core/base/app_paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "settings_place.h"
#include "support/temp_dir.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
using test::WriteFile;

TEST(DataDir, BesideTheExecutableWhenShippedThereElseTheInstalledShareFolder)
{
    TempDir dir;
    for (const char* shipped : {"Languages", "Help", "Skins"}) {
        fs::create_directories(dir / "build" / shipped / "bin" / shipped);
    }
    fs::create_directories(dir / "usr" / "bin");
    fs::create_directories(dir / "usr" / "share" / "pelmora" / "Languages");
    WriteFile(dir / "usr" / "bin" / "Pelmora.ini", "");
    fs::create_directories(dir / "bare" / "bin");

    const struct {
        fs::path executableDir;
        fs::path expected;
    } cases[] = {
        // Any one of the shipped folders marks a build tree or unpacked copy.
        {dir / "build/Languages/bin", dir / "build/Languages/bin"},
        {dir / "build/Help/bin", dir / "build/Help/bin"},
        {dir / "build/Skins/bin", dir / "build/Skins/bin"},
        // A settings file alone is no data; an installed tree is found
        // relative to the executable, wherever the prefix is.
        {dir / "usr/bin", dir / "usr/share/pelmora"},
        {dir / "bare/bin", dir / "bare/share/pelmora"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DataDirFor(c.executableDir), c.expected) << c.executableDir;
    }
}

TEST(DataDir, NeverTheCurrentFolder)
{
    TempDir dir;
    fs::create_directories(dir / "Languages");
    const fs::path before = fs::current_path();
    fs::current_path(dir.Path());
    EXPECT_NE(DataDir(), dir.Path());
    EXPECT_TRUE(DataDir().is_absolute());
    fs::current_path(before);
}

using test::SettingsPlace;

TEST_F(SettingsPlace, PortableWhenBesideTheProgramElseInTheConfigurationHome)
{
    Expect("portable", "empty-home", "portable/Pelmora.ini", "portable/Pelmora.ini");
    Expect("portable", "used-home", "portable/Pelmora.ini", "portable/Pelmora.ini");
    Expect("bare", "empty-home", "empty-home/Pelmora/Pelmora.ini",
           "empty-home/Pelmora/Pelmora.ini");
    Expect("bare", "used-home", "used-home/Pelmora/Pelmora.ini", "used-home/Pelmora/Pelmora.ini");
}

} // namespace
} // namespace pelmora
