#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>

#include "core/base/atomic_file.h"
#include "support/temp_dir.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;

std::size_t FilesIn(const fs::path& folder)
{
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder)) {
        ++files;
    }
    return files;
}

TEST(AtomicFileWindows, SaysWhyAndLeavesTheOldFileWhenItMayNotBeReplaced)
{
    const test::TempDir dir;
    const fs::path locked = dir / "Pelmora.ini";
    test::WriteFile(locked, "old");
    ASSERT_NE(::SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_READONLY), 0);

    EXPECT_NE(ReplaceFileAtomically(locked, "new"), "");
    EXPECT_EQ(test::ReadFile(locked), "old");
    EXPECT_NE(ReplaceFileAtomically(dir / "missing" / "x.prom", "x"), "");
    EXPECT_EQ(FilesIn(dir.Path()), 1U) << "the temporary file is removed after a failure";
    ::SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_NORMAL);
}

} // namespace
} // namespace pelmora
