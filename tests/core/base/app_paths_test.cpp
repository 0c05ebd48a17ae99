#include "core/base/app_paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "support/private_mounts.h"
#include "support/scoped_env.h"
#include "support/skip_without_root.h"
#include "support/temp_dir.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;
using test::ScopedEnv;
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

TEST(ConfigHome, XdgConfigHomeWhenAbsoluteElseDotConfigInHome)
{
    const struct {
        std::optional<std::string> xdg;
        fs::path expected;
    } cases[] = {
        {"/srv/cfg", "/srv/cfg"},
        {std::nullopt, "/home/ann/.config"},
        {"", "/home/ann/.config"},
        {"relative/cfg", "/home/ann/.config"},
    };
    const ScopedEnv home("HOME", "/home/ann");
    for (const auto& c : cases) {
        const ScopedEnv xdg("XDG_CONFIG_HOME", c.xdg);
        EXPECT_EQ(ConfigHome(), c.expected) << c.xdg.value_or("(unset)");
    }
}

// A program folder with or without Pelmora.ini, and a configuration home
// with or without Pelmora/Pelmora.ini.
class SettingsPlace : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(dir_ / "bare");
        fs::create_directories(dir_ / "portable");
        WriteFile(dir_ / "portable" / "Pelmora.ini", "[General]\nLanguage=Deutsch\n");
        fs::create_directories(dir_ / "empty-home");
        fs::create_directories(dir_ / "used-home" / "Pelmora");
        WriteFile(dir_ / "used-home" / "Pelmora" / "Pelmora.ini", "");
    }

    void Expect(const char* program, const char* home, const char* read, const char* write)
    {
        const SettingsLocation found = LocateSettings(dir_ / program, dir_ / home);
        EXPECT_EQ(found, (SettingsLocation{dir_ / read, dir_ / write})) << program << ", " << home;
    }

    TempDir dir_;
};

TEST_F(SettingsPlace, PortableWhenBesideTheProgramElseInTheConfigurationHome)
{
    Expect("portable", "empty-home", "portable/Pelmora.ini", "portable/Pelmora.ini");
    Expect("portable", "used-home", "portable/Pelmora.ini", "portable/Pelmora.ini");
    Expect("bare", "empty-home", "empty-home/Pelmora/Pelmora.ini",
           "empty-home/Pelmora/Pelmora.ini");
    Expect("bare", "used-home", "used-home/Pelmora/Pelmora.ini", "used-home/Pelmora/Pelmora.ini");
}

// Root may write anywhere the mount allows, so the program folder is made
// read-only by a mount inside this test's own namespace.
TEST_F(SettingsPlace, AReadOnlyFileBesideTheProgramGivesTheFirstValuesOnly)
{
    std::string whyNot;
    if (!test::EnterPrivateMounts(&whyNot)) {
        test::SkipWithoutRoot(whyNot);
        return;
    }
    fs::create_directories(dir_ / "locked");
    ASSERT_TRUE(test::MountTmpfs(dir_ / "locked", 64, &whyNot)) << whyNot;
    WriteFile(dir_ / "locked" / "Pelmora.ini", "[General]\nLanguage=Deutsch\n");
    ASSERT_TRUE(test::RemountReadOnly(dir_ / "locked", &whyNot)) << whyNot;

    Expect("locked", "empty-home", "locked/Pelmora.ini", "empty-home/Pelmora/Pelmora.ini");
    Expect("locked", "used-home", "used-home/Pelmora/Pelmora.ini", "used-home/Pelmora/Pelmora.ini");
}

TEST_F(SettingsPlace, TheRunningProgramFollowsTheRuleUnlessAFileIsChosen)
{
    const ScopedEnv xdg("XDG_CONFIG_HOME", (dir_ / "used-home").string());
    SetExecutableDirForTesting(dir_ / "bare");
    EXPECT_EQ(SettingsFilePath(), dir_ / "used-home" / "Pelmora" / "Pelmora.ini");
    SetSettingsFilePath(dir_ / "chosen.ini");
    EXPECT_EQ(SettingsFiles(), (SettingsLocation{dir_ / "chosen.ini", dir_ / "chosen.ini"}));
    SetSettingsFilePath({});
    SetExecutableDirForTesting({});
}

} // namespace
} // namespace pelmora
