#include "core/base/atomic_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace pelmora {
namespace {

std::size_t FilesIn(const std::filesystem::path& folder)
{
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) {
        ++files;
    }
    return files;
}

TEST(AtomicFile, ReplacesTheFileAndLeavesNoTemporaryBehind)
{
    const test::TempDir dir;
    const auto file = dir / "pelmora.prom";
    test::WriteFile(file, "old content that is longer\n");
    EXPECT_EQ(ReplaceFileAtomically(file, "new\n"), "");
    EXPECT_EQ(test::ReadFile(file), "new\n");
    EXPECT_EQ(ReplaceFileAtomically(dir / "fresh", ""), "");
    EXPECT_EQ(test::ReadFile(dir / "fresh"), "");
    EXPECT_EQ(FilesIn(dir.Path()), 2U);
}

} // namespace
} // namespace pelmora
