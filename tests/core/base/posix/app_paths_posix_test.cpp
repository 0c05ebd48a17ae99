#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "core/base/app_paths.h"
#include "settings_place.h"
#include "support/private_mounts.h"
#include "support/scoped_env.h"
#include "support/skip_without_root.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;
using test::ScopedEnv;
using test::SettingsPlace;
using test::WriteFile;

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
