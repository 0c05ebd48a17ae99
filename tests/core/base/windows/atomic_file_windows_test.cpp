#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>

#include "core/base/atomic_file.h"
#include "support/temp_dir.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;

TEST(AtomicFileWindows, SaysWhyAndLeavesTheOldFileWhenItMayNotBeReplaced)
{
    const test::TempDir dir;
    const fs::path locked = dir / "Pelmora.ini";
    test::WriteFile(locked, "old");
    ASSERT_NE(::SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_READONLY), 0);

    EXPECT_NE(ReplaceFileAtomically(locked, "new"), "");
    EXPECT_EQ(test::ReadFile(locked), "old");
    EXPECT_NE(ReplaceFileAtomically(dir / "missing" / "x.prom", "x"), "");
    EXPECT_EQ(test::FilesIn(dir.Path()), 1U) << "the temporary file is removed after a failure";
    ::SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_NORMAL);
}

} // namespace
} // namespace pelmora
