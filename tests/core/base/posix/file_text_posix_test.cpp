#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/base/file_text.h"
#include "support/temp_dir.h"

namespace pelmora {
namespace {

// A named pipe in the file's place must not hang the reader at the open.
TEST(ReadFileText, RefusesANamedPipeWithoutBlocking)
{
    test::TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    EXPECT_EQ(ReadFileText(dir / "pipe"), std::nullopt);
}

} // namespace
} // namespace pelmora
