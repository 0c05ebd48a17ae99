#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "core/base/atomic_file.h"
#include "support/temp_dir.h"

namespace pelmora {
namespace {

struct stat StatusOf(const std::filesystem::path& file)
{
    struct stat status {};
    EXPECT_EQ(::stat(file.c_str(), &status), 0) << file;
    return status;
}

TEST(AtomicFile, AnExistingFileKeepsModeAndOwnerAndALinkStays)
{
    const test::TempDir dir;
    const auto file = dir / "Pelmora.ini";
    test::WriteFile(file, "old");
    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    // Only root may hand a file to another owner; anyone else makes it his.
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(file.c_str(), 1234, 5678), 0);
    }
    std::filesystem::create_symlink("Pelmora.ini", dir / "link.ini");

    EXPECT_EQ(ReplaceFileAtomically(dir / "link.ini", "new", NewFileMode::ReadableByAll), "");
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.ini"));
    EXPECT_EQ(test::ReadFile(file), "new");
    const struct stat status = StatusOf(file);
    EXPECT_EQ(status.st_mode & 07777, 0640U);
    EXPECT_EQ(status.st_uid, root ? 1234U : ::geteuid());
    EXPECT_EQ(status.st_gid, root ? 5678U : ::getegid());
    EXPECT_EQ(test::FilesIn(dir.Path()), 2U);
}

TEST(AtomicFile, ANewFileFollowsTheUmaskOrIsReadableByAll)
{
    const test::TempDir dir;
    const mode_t before = ::umask(077);
    EXPECT_EQ(ReplaceFileAtomically(dir / "Pelmora.ini", "x"), "");
    EXPECT_EQ(ReplaceFileAtomically(dir / "pelmora.prom", "x", NewFileMode::ReadableByAll), "");
    ::umask(before);
    EXPECT_EQ(StatusOf(dir / "Pelmora.ini").st_mode & 07777, 0600U);
    EXPECT_EQ(StatusOf(dir / "pelmora.prom").st_mode & 07777, 0644U)
        << "a collector running as another user reads it";
}

TEST(AtomicFile, SaysWhyWhenTheFolderIsMissingOrTheNameIsAFolder)
{
    const test::TempDir dir;
    EXPECT_EQ(ReplaceFileAtomically(dir / "missing" / "x.prom", "x"), "No such file or directory");
    std::filesystem::create_directory(dir / "taken");
    test::WriteFile(dir / "taken" / "inside", "");
    EXPECT_EQ(ReplaceFileAtomically(dir / "taken", "x"), "Is a directory");
    EXPECT_EQ(test::FilesIn(dir.Path()), 1U) << "the temporary file is removed after a failure";
}

} // namespace
} // namespace pelmora
