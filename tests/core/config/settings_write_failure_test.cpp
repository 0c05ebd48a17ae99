#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/config/ini_file.h"
#include "core/config/settings.h"
#include "support/private_mounts.h"
#include "support/skip_without_root.h"
#include "support/temp_dir.h"

namespace pelmora {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

// Root ignores permission bits, so these failures are made real with mounts
// that exist only inside this test's own mount namespace.
class SettingsWriteFailure : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string whyNot;
        if (!test::EnterPrivateMounts(&whyNot)) {
            test::SkipWithoutRoot(whyNot);
        }
    }

    void ExpectSaveFailsAndFileStays(const std::filesystem::path& file, const std::string& before)
    {
        Settings settings;
        settings.language = "Deutsch";
        for (int i = 0; i < 2000; ++i) {
            settings.hosts.push_back({"host-with-a-long-name-" + std::to_string(i), "proxy:3128"});
        }
        try {
            SaveSettings(settings, file);
            FAIL() << "the save did not fail";
        } catch (const SettingsWriteError& error) {
            EXPECT_EQ(std::string(error.what()), "Unable to write to " + file.string());
        }
        EXPECT_EQ(ReadFile(file), before);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(file.parent_path()),
                                std::filesystem::directory_iterator()),
                  1)
            << "a temporary file was left behind";
    }

    TempDir dir_;
};

const std::string kOldFile = "[HostList]\nItem0=10.0.0.1\n[General]\nLanguage=English\n";

TEST_F(SettingsWriteFailure, ReadOnlyFolderLeavesTheFileUnchanged)
{
    std::string whyNot;
    ASSERT_TRUE(test::MountTmpfs(dir_.Path(), 1024, &whyNot)) << whyNot;
    WriteFile(dir_ / "Pelmora.ini", kOldFile);
    ASSERT_TRUE(test::RemountReadOnly(dir_.Path(), &whyNot)) << whyNot;
    ExpectSaveFailsAndFileStays(dir_ / "Pelmora.ini", kOldFile);
}

TEST_F(SettingsWriteFailure, FullDiskLeavesTheFileUnchanged)
{
    std::string whyNot;
    ASSERT_TRUE(test::MountTmpfs(dir_.Path(), 8, &whyNot)) << whyNot;
    WriteFile(dir_ / "Pelmora.ini", kOldFile);
    ExpectSaveFailsAndFileStays(dir_ / "Pelmora.ini", kOldFile);
}

} // namespace
} // namespace pelmora
