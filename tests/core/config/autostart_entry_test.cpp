#include "core/config/autostart_entry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/config/ini_file.h"
#include "support/private_mounts.h"
#include "support/skip_without_root.h"
#include "support/temp_dir.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

TEST(AutostartExec, EveryPathComesBackAsWritten)
{
    const struct {
        const char* program;
        const char* exec;
    } cases[] = {
        {"/usr/bin/Pelmora", "/usr/bin/Pelmora"},
        {"/home/ann/my tools/Pelmora", R"("/home/ann/my tools/Pelmora")"},
        {R"(/opt/a"b$c`d\e/Pelmora)", R"("/opt/a\\"b\\$c\\`d\\\\e/Pelmora")"},
        {"/opt/100%/Pelmora", "/opt/100%%/Pelmora"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExecValue(c.program), c.exec) << c.program;
        EXPECT_EQ(ExecProgram(c.exec), fs::path(c.program)) << c.exec;
    }
    // Entries written by others: arguments and the \s escape.
    EXPECT_EQ(ExecProgram("/usr/bin/Pelmora --minimized %U"), fs::path("/usr/bin/Pelmora"));
    EXPECT_EQ(ExecProgram(R"("/a\sb/Pelmora" x)"), fs::path("/a b/Pelmora"));
}

class Autostart : public ::testing::Test {
protected:
    fs::path File() const { return AutostartFilePath(home_ / ".config"); }
    void Place(const std::string& text)
    {
        fs::create_directories(File().parent_path());
        WriteFile(File(), text);
    }

    TempDir home_;
    const fs::path self_ = "/opt/pelmora/bin/Pelmora";
};

TEST_F(Autostart, FileIsNamedAfterTheApplicationId)
{
    EXPECT_EQ(File(), home_ / ".config" / "autostart" / "io.github.tamsel.Pelmora.desktop");
}

TEST_F(Autostart, OnOnlyWhenTheEntryExistsAndIsNotDisabled)
{
    const struct {
        const char* name;
        const char* text; // nullptr: no file
        bool on;
        bool foreign;
    } cases[] = {
        {"no file", nullptr, false, false},
        {"plain", "[Desktop Entry]\nExec=/opt/pelmora/bin/Pelmora\n", true, false},
        {"hidden", "[Desktop Entry]\nExec=/opt/pelmora/bin/Pelmora\nHidden=true\n", false, false},
        {"GNOME off",
         "[Desktop Entry]\nExec=/opt/pelmora/bin/Pelmora\nX-GNOME-Autostart-enabled=false\n", false,
         false},
        {"GNOME on",
         "[Desktop Entry]\nExec=/opt/pelmora/bin/Pelmora\nX-GNOME-Autostart-enabled=true\n", true,
         false},
        {"flag in another group",
         "[Desktop Entry]\nExec=/opt/pelmora/bin/Pelmora\n[Desktop Action x]\nHidden=true\n", true,
         false},
        {"another program", "[Desktop Entry]\nExec=/usr/bin/Pelmora\n", true, true},
        {"another, hidden", "[Desktop Entry]\nExec=/usr/bin/Pelmora\nHidden=true\n", false, true},
        {"no Exec", "[Desktop Entry]\nName=Pelmora\n", true, true},
    };
    for (const auto& c : cases) {
        fs::remove(File());
        if (c.text != nullptr) {
            Place(c.text);
        }
        const AutostartStatus status = ReadAutostart(File(), self_);
        EXPECT_EQ(status.on, c.on) << c.name;
        EXPECT_EQ(status.foreign, c.foreign) << c.name;
    }
}

TEST_F(Autostart, TurningOnWritesAnEntryThatStartsThisProgramAndOffRemovesIt)
{
    EXPECT_EQ(SetAutostart(File(), self_, false), AutostartChange::None);
    EXPECT_FALSE(fs::exists(File()));

    EXPECT_EQ(SetAutostart(File(), self_, true), AutostartChange::Written);
    const std::string entry = ReadFile(File());
    EXPECT_TRUE(entry.starts_with("[Desktop Entry]\nType=Application\n")) << entry;
    EXPECT_NE(entry.find("\nExec=/opt/pelmora/bin/Pelmora\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("\nIcon=io.github.tamsel.Pelmora\n"), std::string::npos) << entry;
    EXPECT_TRUE(ReadAutostart(File(), self_).on);
    EXPECT_EQ(SetAutostart(File(), self_, true), AutostartChange::None);

    EXPECT_EQ(SetAutostart(File(), self_, false), AutostartChange::Removed);
    EXPECT_FALSE(fs::exists(File()));
    EXPECT_TRUE(fs::is_directory(File().parent_path()));
}

TEST_F(Autostart, ADisabledEntryOfThisProgramIsEnabledByRewritingIt)
{
    Place("[Desktop Entry]\nExec=/opt/pelmora/bin/Pelmora\nHidden=true\n");
    EXPECT_EQ(SetAutostart(File(), self_, false), AutostartChange::None);
    EXPECT_TRUE(fs::exists(File()));
    EXPECT_EQ(SetAutostart(File(), self_, true), AutostartChange::Written);
    EXPECT_TRUE(ReadAutostart(File(), self_).on);
}

TEST_F(Autostart, AnEntryOfAnotherProgramIsNeverChanged)
{
    for (const bool enabled : {true, false}) {
        const std::string text = std::string("[Desktop Entry]\nExec=/usr/bin/Pelmora\n") +
                                 (enabled ? "" : "Hidden=true\n");
        Place(text);
        EXPECT_EQ(SetAutostart(File(), self_, enabled), AutostartChange::None) << enabled;
        EXPECT_EQ(SetAutostart(File(), self_, !enabled), AutostartChange::Refused) << enabled;
        EXPECT_EQ(ReadFile(File()), text) << enabled;
    }
}

TEST_F(Autostart, AFolderThatCannotBeWrittenFailsWithTheFileName)
{
    std::string whyNot;
    if (!test::EnterPrivateMounts(&whyNot)) {
        test::SkipWithoutRoot(whyNot);
        return;
    }
    fs::create_directories(File().parent_path());
    ASSERT_TRUE(test::MountTmpfs(File().parent_path(), 64, &whyNot)) << whyNot;
    ASSERT_TRUE(test::RemountReadOnly(File().parent_path(), &whyNot)) << whyNot;
    try {
        SetAutostart(File(), self_, true);
        FAIL() << "no error";
    } catch (const SettingsWriteError& error) {
        EXPECT_EQ(std::string(error.what()), "Unable to write to " + File().string());
    }
    EXPECT_FALSE(fs::exists(File()));
}

} // namespace
} // namespace pelmora
