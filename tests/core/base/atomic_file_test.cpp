#include "core/base/atomic_file.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(test::FilesIn(dir.Path()), 2U);
}

} // namespace
} // namespace pelmora
