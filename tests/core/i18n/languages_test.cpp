#include "core/i18n/languages.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/base/app_paths.h"
#include "support/source_dir.h"
#include "support/temp_dir.h"

namespace pelmora {
namespace {

using test::TempDir;
using test::WriteFile;

class Languages : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetExecutableDirForTesting(dir_.Path());
        std::filesystem::create_directory(dir_ / "Languages");
    }
    void TearDown() override
    {
        SetExecutableDirForTesting({});
        SetCurrentLanguage({});
    }

    TempDir dir_;
};

TEST_F(Languages, MessageTextFallsBackToTheKeyAndKeepsEmptyTexts)
{
    WriteFile(dir_ / "Languages" / "English.lng", "[Messages]\n"
                                                  "AppearHost=  \"came back:\"  \n"
                                                  "Stop=\n"
                                                  "[frmMain]\n"
                                                  "LoseHost=not a message\n");
    SetCurrentLanguage("English");
    EXPECT_EQ(MessageText("AppearHost"), "came back:");
    EXPECT_EQ(MessageText("appearhost"), "came back:");
    EXPECT_EQ(MessageText("Stop"), "");
    EXPECT_EQ(MessageText("LoseHost"), "LoseHost");

    SetCurrentLanguage("Missing");
    EXPECT_EQ(MessageText("AppearHost"), "AppearHost");
    SetCurrentLanguage("");
    EXPECT_EQ(LanguageFilePath(CurrentLanguage()), dir_ / "Languages" / ".lng");
    EXPECT_EQ(MessageText("AppearHost"), "AppearHost");
}

TEST_F(Languages, MessageTextReadsTheFileAfreshEachTime)
{
    SetCurrentLanguage("English");
    WriteFile(dir_ / "Languages" / "English.lng", "[Messages]\nLoseHost=lost\n");
    EXPECT_EQ(MessageText("LoseHost"), "lost");
    WriteFile(dir_ / "Languages" / "English.lng", "[Messages]\nLoseHost=gone\n");
    EXPECT_EQ(MessageText("LoseHost"), "gone");
}

TEST_F(Languages, LanguageNameComesFromTheSettingsFileBesideTheExecutable)
{
    LoadLanguageName();
    EXPECT_EQ(CurrentLanguage(), "English"); // no file

    WriteFile(dir_ / "Pelmora.ini", "[General]\nLanguage=Deutsch\n");
    LoadLanguageName();
    EXPECT_EQ(CurrentLanguage(), "Deutsch");

    WriteFile(dir_ / "Pelmora.ini", "[General]\nLanguage=\n");
    LoadLanguageName();
    EXPECT_EQ(CurrentLanguage(), "");
}

TEST_F(Languages, AByteOrderMarkBeforeTheFirstSectionIsSkipped)
{
    WriteFile(dir_ / "Languages" / "Marked.lng", "\xEF\xBB\xBF[Messages]\r\nStop=Halt\r\n");
    SetCurrentLanguage("Marked");
    EXPECT_EQ(MessageText("Stop"), "Halt");
}

TEST_F(Languages, ShippedEnglishFileNamesEveryMessageKey)
{
    SetExecutableDirForTesting(test::kSourceDir);
    SetCurrentLanguage("English");
    for (const char* key : {"Start", "Stop", "AppearHost", "LoseHost", "LoseHosts", "AppearHosts",
                            "NewIP", "NewHTTP", "NewLAN", "EditIP", "EditHTTP", "EditLAN",
                            "InputIP", "InputHost", "InputLAN", "AutostartElsewhere"}) {
        const std::string text = MessageText(key);
        EXPECT_NE(text, key) << key;
        EXPECT_FALSE(text.empty()) << key;
    }
}

} // namespace
} // namespace pelmora
