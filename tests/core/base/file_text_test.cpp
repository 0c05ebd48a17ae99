#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "core/base/file_text.h"
#include "support/temp_dir.h"

namespace pelmora {
namespace {

using test::TempDir;
using test::WriteFile;

TEST(ReadFileText, ReturnsEveryByteOfARegularFile)
{
    TempDir dir;
    // Larger than one read, with NUL, CR and bytes above 0x7F on the way.
    std::string content;
    for (int i = 0; i < 200'000; ++i) {
        content += static_cast<char>(i % 256);
    }
    const struct {
        const char* name;
        std::string text;
    } cases[] = {{"empty", ""}, {"one line", "[View]\r\nFontName=Arial\n"}, {"binary", content}};
    for (const auto& c : cases) {
        WriteFile(dir / c.name, c.text);
        EXPECT_EQ(ReadFileText(dir / c.name), std::optional<std::string>(c.text)) << c.name;
    }
}

TEST(ReadFileText, RefusesWhatIsNoRegularFile)
{
    TempDir dir;
    std::filesystem::create_directory(dir / "folder");
    for (const char* name : {"missing", "folder"}) {
        EXPECT_EQ(ReadFileText(dir / name), std::nullopt) << name;
    }
}

TEST(ReadFileText, StopsAtTheSizeLimit)
{
    TempDir dir;
    WriteFile(dir / "file", std::string(1000, 'x'));
    EXPECT_EQ(ReadFileText(dir / "file", 1000), std::optional<std::string>(std::string(1000, 'x')));
    EXPECT_EQ(ReadFileText(dir / "file", 999), std::nullopt);
}

} // namespace
} // namespace pelmora
