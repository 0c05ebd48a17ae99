#include "core/config/settings.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/config/ini_file.h"
#include "support/temp_dir.h"

namespace pelmora {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

std::vector<std::pair<std::string, std::string>> HostsOf(const Settings& settings)
{
    std::vector<std::pair<std::string, std::string>> hosts;
    hosts.reserve(settings.hosts.size());
    for (const HostLine& line : settings.hosts) {
        hosts.emplace_back(line.target, line.proxy);
    }
    return hosts;
}

TEST(Settings, MissingFileGivesDefaultsAndFirstSaveWritesThemAll)
{
    TempDir dir;
    Settings settings = LoadSettings(dir / "Pelmora.ini");
    EXPECT_EQ(settings, Settings{});
    EXPECT_TRUE(settings.hosts.empty());
    EXPECT_EQ(settings.font, PopUpFont{});
    EXPECT_EQ(settings.font.name, "MS Sans Serif");
    EXPECT_EQ(settings.checkPeriod, 60000);
    EXPECT_EQ(settings.popUpInterval, 5000);
    EXPECT_EQ(settings.parallelChecks, kDefaultParallelChecks);
    EXPECT_EQ(settings.attempts, 1);

    SaveSettings(settings, dir / "Pelmora.ini");
    EXPECT_EQ(ReadFile(dir / "Pelmora.ini"), "[View]\n"
                                             "FontStyleBold=0\n"
                                             "FontStyleItalic=0\n"
                                             "FontSize=10\n"
                                             "FontColor=0\n"
                                             "FontName=MS Sans Serif\n"
                                             "ReportStyle=0\n"
                                             "[CheckParams]\n"
                                             "CheckPeriod=60000\n"
                                             "PopUpInterval=5000\n"
                                             "ParallelChecks=1000\n"
                                             "Attempts=1\n"
                                             "[General]\n"
                                             "Language=English\n");
}

// Out of range counts as unreadable; loading alone never writes the file.
TEST(Settings, ParallelChecksOutsideOneTo100000ReadsAsTheDefault)
{
    const struct {
        const char* line; // nullptr: no such key
        std::size_t expected;
    } cases[] = {
        {nullptr, 1000},
        {"ParallelChecks=1", 1},
        {"ParallelChecks=1000", 1000},
        {"ParallelChecks=100000", 100000},
        {"ParallelChecks=0x186A0", 100000},
        {"ParallelChecks=$10", 16},
        {"ParallelChecks=  +7  ", 7},
        {"ParallelChecks=0", 1000},
        {"ParallelChecks=-5", 1000},
        {"ParallelChecks=100001", 1000},
        {"ParallelChecks=0x186A1", 1000},
        {"ParallelChecks=4294967297", 1000},
        {"ParallelChecks=abc", 1000},
        {"ParallelChecks=", 1000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line == nullptr ? "absent" : c.line);
        TempDir dir;
        const std::string text =
            std::string("[CheckParams]\nCheckPeriod=5\n") + (c.line ? c.line : "") + "\n";
        WriteFile(dir / "Pelmora.ini", text);
        const Settings settings = LoadSettings(dir / "Pelmora.ini");
        EXPECT_EQ(settings.parallelChecks, c.expected);
        EXPECT_EQ(settings.checkPeriod, 5);
        EXPECT_EQ(ReadFile(dir / "Pelmora.ini"), text);
    }
}

TEST(Settings, AttemptsOutsideOneToTenReadAsOne)
{
    const struct {
        const char* line; // nullptr: no such key
        std::int32_t expected;
    } cases[] = {
        {nullptr, 1},        {"Attempts=1", 1},    {"Attempts=3", 3},
        {"Attempts=10", 10}, {"Attempts=0xA", 10}, {"Attempts=0", 1},
        {"Attempts=-2", 1},  {"Attempts=11", 1},   {"Attempts=4294967299", 1},
        {"Attempts=two", 1}, {"Attempts=", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line == nullptr ? "absent" : c.line);
        TempDir dir;
        const std::string text = std::string("[CheckParams]\n") + (c.line ? c.line : "") + "\n";
        WriteFile(dir / "Pelmora.ini", text);
        const Settings settings = LoadSettings(dir / "Pelmora.ini");
        EXPECT_EQ(settings.attempts, c.expected);
        EXPECT_EQ(ReadFile(dir / "Pelmora.ini"), text);
    }
}

TEST(Settings, ReportStyleOutsideItsFourValuesReadsAsAutomatic)
{
    const struct {
        const char* value;
        ReportStyle expected;
    } cases[] = {
        {"0", ReportStyle::Automatic},    {"1", ReportStyle::Balloon},
        {"2", ReportStyle::Notification}, {"3", ReportStyle::Both},
        {"4", ReportStyle::Automatic},    {"-1", ReportStyle::Automatic},
        {"both", ReportStyle::Automatic},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        TempDir dir;
        WriteFile(dir / "Pelmora.ini", std::string("[View]\nReportStyle=") + c.value + "\n");
        const Settings settings = LoadSettings(dir / "Pelmora.ini");
        EXPECT_EQ(settings.reportStyle, c.expected);
    }
}

TEST(Settings, LoadReadsEveryKeyOfTheHostListInFileOrder)
{
    TempDir dir;
    WriteFile(dir / "Pelmora.ini", "[HostList]\n"
                                   "Item0=  10.0.0.1  \n"
                                   "Item1=   \n"
                                   "Zeta=http://10.0.0.7/ 10.0.0.1:3128\n"
                                   "Item2=http://a/ proxy:80 with blanks\n"
                                   "item2=//pc1\n"
                                   "[View]\n"
                                   "FontStyleBold=2\n"
                                   "FontStyleItalic=x\n"
                                   "FontSize=$C\n"
                                   "FontColor=255\n"
                                   "FontName=Arial\n"
                                   "[CheckParams]\n"
                                   "CheckPeriod=0x3E8\n"
                                   "PopUpInterval=abc\n");
    const Settings settings = LoadSettings(dir / "Pelmora.ini");
    EXPECT_EQ(HostsOf(settings), (std::vector<std::pair<std::string, std::string>>{
                                     {"10.0.0.1", ""},
                                     {"http://10.0.0.7/", "10.0.0.1:3128"},
                                     {"http://a/", "proxy:80 with blanks"},
                                     {"//pc1", ""}}));
    const PopUpFont font = settings.font;
    EXPECT_TRUE(font.bold);
    EXPECT_FALSE(font.italic);
    EXPECT_EQ(font.size, 12);
    EXPECT_EQ(font.color, 255);
    EXPECT_EQ(font.name, "Arial");
    EXPECT_EQ(settings.checkPeriod, 1000);
    EXPECT_EQ(settings.popUpInterval, 5000);
}

TEST(Settings, SaveKeepsForeignKeysAndMovesTheHostListToTheEnd)
{
    TempDir dir;
    WriteFile(dir / "Pelmora.ini", "; written by hand\n"
                                   "[HostList]\n"
                                   "Item0=old\n"
                                   "Item7=gone\n"
                                   "[View]\n"
                                   "FontStyleBold=2\n"
                                   "Extra=kept\n"
                                   "[Mine]\n"
                                   "a=b\n");
    Settings settings = LoadSettings(dir / "Pelmora.ini");
    settings.hosts = {{"http://10.0.0.7/", "10.0.0.1:3128"}, {"//pc1", ""}};
    settings.checkPeriod = -1;
    settings.parallelChecks = 25;
    settings.attempts = 4;
    settings.reportStyle = ReportStyle::Notification;
    settings.language = "Deutsch";
    SaveSettings(settings, dir / "Pelmora.ini");

    EXPECT_EQ(ReadFile(dir / "Pelmora.ini"), "; written by hand\n"
                                             "[View]\n"
                                             "FontStyleBold=1\n"
                                             "Extra=kept\n"
                                             "FontStyleItalic=0\n"
                                             "FontSize=10\n"
                                             "FontColor=0\n"
                                             "FontName=MS Sans Serif\n"
                                             "ReportStyle=2\n"
                                             "[Mine]\n"
                                             "a=b\n"
                                             "[HostList]\n"
                                             "Item0=http://10.0.0.7/ 10.0.0.1:3128\n"
                                             "Item1=//pc1\n"
                                             "[CheckParams]\n"
                                             "CheckPeriod=-1\n"
                                             "PopUpInterval=5000\n"
                                             "ParallelChecks=25\n"
                                             "Attempts=4\n"
                                             "[General]\n"
                                             "Language=Deutsch\n");

    EXPECT_EQ(LoadSettings(dir / "Pelmora.ini"), settings);
}

TEST(Settings, LargeHostListSurvivesARoundTrip)
{
    TempDir dir;
    Settings settings;
    for (int i = 0; i < 5000; ++i) {
        settings.hosts.push_back({"host-" + std::to_string(i) + ".example", ""});
    }
    SaveSettings(settings, dir / "Pelmora.ini");
    EXPECT_EQ(LoadSettings(dir / "Pelmora.ini"), settings);
}

TEST(Settings, FolderWhereTheFileShouldBeReadsAsDefaultsAndRefusesASave)
{
    TempDir dir;
    std::filesystem::create_directory(dir / "Pelmora.ini");
    const Settings settings = LoadSettings(dir / "Pelmora.ini");
    EXPECT_EQ(settings.checkPeriod, 60000);
    EXPECT_THROW(SaveSettings(settings, dir / "Pelmora.ini"), SettingsWriteError);
    EXPECT_TRUE(std::filesystem::is_directory(dir / "Pelmora.ini"));
}

TEST(Settings, AByteOrderMarkKeepsTheHostListAndASaveWritesOneHostList)
{
    TempDir dir;
    const std::string bom = "\xEF\xBB\xBF";
    WriteFile(dir / "Pelmora.ini", bom + "[HostList]\r\nItem0=10.0.0.1\r\n[General]\r\n");
    Settings settings = LoadSettings(dir / "Pelmora.ini");
    EXPECT_EQ(HostsOf(settings),
              (std::vector<std::pair<std::string, std::string>>{{"10.0.0.1", ""}}));

    settings.hosts.push_back({"10.0.0.2", ""});
    SaveSettings(settings, dir / "Pelmora.ini");
    const std::string saved = ReadFile(dir / "Pelmora.ini");
    EXPECT_TRUE(saved.starts_with(bom + "[General]\r\n")) << saved;
    EXPECT_EQ(saved.find(bom, 1), std::string::npos) << saved;
    EXPECT_EQ(saved.find("[HostList]"), saved.rfind("[HostList]")) << saved;
    EXPECT_NE(saved.find("[HostList]\r\nItem0=10.0.0.1\r\nItem1=10.0.0.2\r\n"), std::string::npos)
        << saved;
}

// The first save of a program whose read-only file gave the first values:
// the new file, in a folder made for it, keeps what the old one held beyond
// the program's own keys.
TEST(Settings, SaveIntoANewFolderKeepsTheForeignKeysOfTheFileReadFrom)
{
    TempDir dir;
    WriteFile(dir / "Pelmora.ini", "[Site]\nOwner=ops\n[CheckParams]\nCheckPeriod=1000\n");
    const Settings settings = LoadSettings(dir / "Pelmora.ini");
    const auto own = dir / "home" / ".config" / "Pelmora" / "Pelmora.ini";
    SaveSettings(settings, own, dir / "Pelmora.ini");

    const std::string saved = ReadFile(own);
    EXPECT_TRUE(saved.starts_with("[Site]\nOwner=ops\n[CheckParams]\nCheckPeriod=1000\n")) << saved;
    EXPECT_EQ(ReadFile(dir / "Pelmora.ini"),
              "[Site]\nOwner=ops\n[CheckParams]\nCheckPeriod=1000\n");
}

} // namespace
} // namespace pelmora
