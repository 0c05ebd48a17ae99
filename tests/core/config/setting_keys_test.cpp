#include "core/config/setting_keys.h"

#include <gtest/gtest.h>

#include <string>

#include "core/config/ini_document.h"
#include "support/temp_dir.h"

namespace pelmora {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

// A value other than the row's default that the row accepts.
std::int32_t OtherNumber(const SettingKey& row)
{
    if (row.bounds) {
        return row.defaultNumber == row.bounds->max ? row.bounds->min : row.bounds->max;
    }
    return row.kind == SettingKind::Boolean ? (row.defaultNumber == 0 ? 1 : 0)
                                            : row.defaultNumber - 12345;
}

TEST(SettingKeys, EveryKeyGoesIntoTheFileAndComesBackAlone)
{
    for (const SettingKey& row : SettingKeys()) {
        if (row.kind == SettingKind::HostLines) {
            continue;
        }
        SCOPED_TRACE(std::string(row.section) + "/" + std::string(row.key));
        Settings settings;
        if (row.kind == SettingKind::Text) {
            ReadKey(row, IniDocument::Parse(std::string(row.key) + "\n"), settings);
            EXPECT_EQ(StoredText(row, settings), row.defaultText);
            settings = Settings{};
            ReadKey(row,
                    IniDocument::Parse("[" + std::string(row.section) + "]\n" +
                                       std::string(row.key) + "=Other text\n"),
                    settings);
        } else {
            EXPECT_EQ(StoredText(row, settings), std::to_string(row.defaultNumber));
            SetNumber(row, settings, OtherNumber(row));
        }
        const std::string stored = StoredText(row, settings);
        ASSERT_NE(settings, Settings{});

        const TempDir dir;
        SaveSettings(settings, dir / "Pelmora.ini");
        const std::string text = ReadFile(dir / "Pelmora.ini");
        EXPECT_NE(text.find("[" + std::string(row.section) + "]\n"), std::string::npos) << text;
        EXPECT_NE(text.find("\n" + std::string(row.key) + "=" + stored + "\n"), std::string::npos)
            << text;
        // Only this row's field differs from a missing file's values.
        const Settings reread = LoadSettings(dir / "Pelmora.ini");
        EXPECT_EQ(reread, settings);
        EXPECT_EQ(StoredText(row, reread), stored);
    }
}

TEST(SettingKeys, ABoundedKeyTakesItsBoundsAndReadsAnythingBeyondAsTheDefault)
{
    int bounded = 0;
    for (const SettingKey& row : SettingKeys()) {
        if (!row.bounds) {
            continue;
        }
        ++bounded;
        SCOPED_TRACE(std::string(row.key));
        const struct {
            std::int64_t written;
            std::int64_t read;
        } cases[] = {
            {row.bounds->min, row.bounds->min},
            {row.bounds->max, row.bounds->max},
            {std::int64_t{row.bounds->min} - 1, row.defaultNumber},
            {std::int64_t{row.bounds->max} + 1, row.defaultNumber},
        };
        for (const auto& c : cases) {
            const TempDir dir;
            WriteFile(dir / "Pelmora.ini", "[" + std::string(row.section) + "]\n" +
                                               std::string(row.key) + "=" +
                                               std::to_string(c.written) + "\n");
            EXPECT_EQ(StoredText(row, LoadSettings(dir / "Pelmora.ini")), std::to_string(c.read))
                << "written " << c.written;
        }
    }
    // ReportStyle, ParallelChecks and Attempts.
    EXPECT_EQ(bounded, 3);
}

TEST(SettingKeys, KeysAreFoundWithoutRegardToCaseAndAnUnknownOneIsAnError)
{
    EXPECT_EQ(&FindSettingKey("checkparams", "PARALLELCHECKS"),
              &FindSettingKey("CheckParams", "ParallelChecks"));
    EXPECT_EQ(FindSettingKey("CheckParams", "Attempts").checkOption, "--attempts");
    EXPECT_THROW(FindSettingKey("View", "Language"), std::out_of_range);
}

} // namespace
} // namespace pelmora
