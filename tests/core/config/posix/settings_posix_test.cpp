#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "core/config/ini_file.h"
#include "core/config/settings.h"
#include "support/temp_dir.h"

namespace pelmora {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

TEST(Settings, SaveKeepsPermissionsAndLinks)
{
    TempDir dir;
    std::filesystem::create_directory(dir / "real");
    WriteFile(dir / "real" / "Pelmora.ini", "[General]\nLanguage=English\n");
    ASSERT_EQ(::chmod((dir / "real" / "Pelmora.ini").c_str(), 0640), 0);
    std::filesystem::create_symlink("real/Pelmora.ini", dir / "Pelmora.ini");

    Settings settings;
    settings.language = "Deutsch";
    SaveSettings(settings, dir / "Pelmora.ini");

    EXPECT_TRUE(std::filesystem::is_symlink(dir / "Pelmora.ini"));
    EXPECT_NE(ReadFile(dir / "real" / "Pelmora.ini").find("Language=Deutsch"), std::string::npos);
    struct stat info {};
    ASSERT_EQ(::stat((dir / "real" / "Pelmora.ini").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640U);
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "real"),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(Settings, AFolderMadeForTheFileIsTheOwnersAlone)
{
    TempDir dir;
    const auto own = dir / "home" / ".config" / "Pelmora" / "Pelmora.ini";
    SaveSettings(Settings{}, own);
    struct stat info {};
    ASSERT_EQ(::stat(own.parent_path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0700U);
    ASSERT_EQ(::stat(own.parent_path().parent_path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0700U);
}

// A link whose file is missing is a file yet to be written: loading gives the
// defaults and the first save creates the file it names, keeping the link.
// Where the folder it names is missing too, the save fails and creates
// nothing.
TEST(HostileSettings, DanglingLinkLoadsDefaultsAndASaveCreatesItsTarget)
{
    const TempDir dir;
    std::filesystem::create_directory(dir / "real");
    std::filesystem::create_symlink("real/Pelmora.ini", dir / "Pelmora.ini");
    std::filesystem::create_symlink("gone/Pelmora.ini", dir / "Elsewhere.ini");

    Settings settings = LoadSettings(dir / "Pelmora.ini");
    EXPECT_EQ(settings.checkPeriod, Settings{}.checkPeriod);

    settings.hosts.push_back({"10.0.0.4", ""});
    SaveSettings(settings, dir / "Pelmora.ini");
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "Pelmora.ini"));
    const Settings saved = LoadSettings(dir / "real" / "Pelmora.ini");
    ASSERT_EQ(saved.hosts.size(), 1U);
    EXPECT_EQ(saved.hosts[0].target, "10.0.0.4");

    try {
        SaveSettings(settings, dir / "Elsewhere.ini");
        FAIL() << "the save did not fail";
    } catch (const SettingsWriteError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Unable to write to " + (dir / "Elsewhere.ini").string());
    }
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "Elsewhere.ini"));
    EXPECT_FALSE(std::filesystem::exists(dir / "gone"));
}

} // namespace
} // namespace pelmora
