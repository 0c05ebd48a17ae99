#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>

#include "core/base/app_paths.h"
#include "core/base/atomic_file.h"
#include "core/base/file_text.h"
#include "core/base/path_text.h"
#include "core/config/ini_file.h"
#include "support/temp_dir.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;

// A user folder as many have it: letters outside ASCII and outside the ANSI
// code page, which the ...A functions would garble.
constexpr std::string_view kFolder = "Jürgen Ωmega 日本";

TEST(UnicodePaths, FilesInAFolderWithNonAsciiLettersAreReadReplacedAndLocated)
{
    const test::TempDir dir;
    const fs::path folder = dir.Path() / PathFromUtf8(kFolder);
    EXPECT_EQ(Utf8OfPath(folder.filename()), kFolder);

    const fs::path file = folder / "Pelmora.ini";
    IniDocument document;
    document.WriteString("General", "Language", "Deutsch");
    WriteIniFile(file, document); // makes the folder through the wide API
    ASSERT_TRUE(fs::is_regular_file(file));
    EXPECT_EQ(ReadIniFile(file).ReadString("General", "Language", ""), "Deutsch");

    EXPECT_EQ(ReplaceFileAtomically(file, "[General]\r\nLanguage=English\r\n"), "");
    EXPECT_EQ(ReadFileText(file), std::optional<std::string>("[General]\r\nLanguage=English\r\n"));
    EXPECT_EQ(LocateSettings(folder, dir.Path()), (SettingsLocation{file, file}))
        << "a writable file beside the program keeps the copy portable";
}

TEST(UnicodePaths, TheSaveErrorNamesTheFolderInUtf8)
{
    const test::TempDir dir;
    const fs::path file = dir.Path() / PathFromUtf8(kFolder) / "Pelmora.ini";
    fs::create_directories(file); // a folder where the file should be
    try {
        WriteIniFile(file, IniDocument{});
        FAIL() << "the save went through";
    } catch (const SettingsWriteError& error) {
        EXPECT_NE(std::string(error.what()).find(kFolder), std::string::npos) << error.what();
    }
}

} // namespace
} // namespace pelmora
