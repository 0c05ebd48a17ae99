#include "core/base/atomic_file.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace pelmora {
namespace {

TEST(AtomicFile, ReplacesTheFileAndLeavesNoTemporaryBehind)
{
    const test::TempDir dir;
    const auto file = dir / "pelmora.prom";
    test::WriteFile(file, "old content that is longer\n");
    EXPECT_EQ(ReplaceFileAtomically(file, "new\n"), "");
    EXPECT_EQ(test::ReadFile(file), "new\n");
    EXPECT_EQ(ReplaceFileAtomically(dir / "fresh", ""), "");
    EXPECT_EQ(test::ReadFile(dir / "fresh"), "");
    struct stat status {};
    ASSERT_EQ(stat(file.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0644U) << "a collector running as another user reads it";
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        ++files;
    }
    EXPECT_EQ(files, 2U);
}

TEST(AtomicFile, SaysWhyWhenTheFolderIsMissingOrTheNameIsAFolder)
{
    const test::TempDir dir;
    EXPECT_EQ(ReplaceFileAtomically(dir / "missing" / "x.prom", "x"), "No such file or directory");
    std::filesystem::create_directory(dir / "taken");
    test::WriteFile(dir / "taken" / "inside", "");
    EXPECT_EQ(ReplaceFileAtomically(dir / "taken", "x"), "Is a directory");
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        ++files;
    }
    EXPECT_EQ(files, 1U) << "the temporary file is removed after a failure";
}

} // namespace
} // namespace pelmora
