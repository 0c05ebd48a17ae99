#include "core/shell/log_bound.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/base/app_paths.h"
#include "core/i18n/languages.h"
#include "support/temp_dir.h"

namespace pelmora {
namespace {

TEST(LogBound, DropsWhatIsBeyondTheLimitAndCountsItAll)
{
    LogBound bound(3);
    EXPECT_FALSE(bound.HasNotice());
    const struct {
        int lines;
        int excess;
    } cases[] = {{0, 0}, {3, 0}, {4, 1}, {10, 7}};
    for (const auto& c : cases) {
        EXPECT_EQ(bound.Excess(c.lines), c.excess) << c.lines;
    }
    bound.Dropped(2);
    bound.Dropped(1);
    EXPECT_TRUE(bound.HasNotice());
    EXPECT_EQ(bound.DroppedLines(), 3);
    // Without a language file the message key stands for its text.
    EXPECT_EQ(bound.Notice(), "LogDropped 3");

    EXPECT_EQ(LogBound(0).LineLimit(), 1);
    EXPECT_EQ(LogBound(-5).Excess(2), 1);
    EXPECT_EQ(LogBound().LineLimit(), LogBound::kDefaultLineLimit);
}

TEST(LogBound, NoticeSpeaksTheCurrentLanguage)
{
    const test::TempDir dir;
    std::filesystem::create_directory(dir / "Languages");
    test::WriteFile(dir / "Languages" / "Test.lng", "[Messages]\nLogDropped=Older lines gone:\n");
    SetExecutableDirForTesting(dir.Path());
    SetCurrentLanguage("Test");
    LogBound bound(1);
    bound.Dropped(12);
    EXPECT_EQ(bound.Notice(), "Older lines gone: 12");
    SetExecutableDirForTesting({});
    SetCurrentLanguage("");
}

} // namespace
} // namespace pelmora
