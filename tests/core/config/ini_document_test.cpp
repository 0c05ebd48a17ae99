#include "core/config/ini_document.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pelmora {
namespace {

TEST(IniRead, NamesIgnoreCaseAndValuesAreTrimmedAndUnquoted)
{
    const IniDocument ini = IniDocument::Parse("; comment=x\n"
                                               "[View]\n"
                                               "FontName =  \"Arial Narrow\"  \n"
                                               "quoted='a b'\n"
                                               "half=\"a\n"
                                               "twice=\"\"a\"\"\n"
                                               "empty=\n"
                                               "eq=a=b\n"
                                               "novalue\n"
                                               "[ general ]\r\n"
                                               "Language=Deutsch\r\n");
    EXPECT_EQ(ini.ReadString("view", "FONTNAME", "-"), "Arial Narrow");
    EXPECT_EQ(ini.ReadString("View", "quoted", "-"), "a b");
    EXPECT_EQ(ini.ReadString("View", "half", "-"), "\"a");
    EXPECT_EQ(ini.ReadString("View", "twice", "-"), "\"a\"");
    EXPECT_EQ(ini.ReadString("View", "empty", "-"), "");
    EXPECT_EQ(ini.ReadString("View", "eq", "-"), "a=b");
    EXPECT_EQ(ini.ReadString("View", "novalue", "-"), "-");
    EXPECT_EQ(ini.ReadString("View", "missing", "-"), "-");
    EXPECT_EQ(ini.ReadString("Missing", "FontName", "-"), "-");
    EXPECT_EQ(ini.ReadString("General", "language", "-"), "Deutsch");
    EXPECT_EQ(ini.ReadString("", "comment", "-"), "-");
}

// Lines a hand edit leaves, read as the system's profile functions read
// them (the Windows build compares the two over generated files).
TEST(IniRead, HandEditedLinesReadAsTheProfileFunctionsDo)
{
    const struct {
        const char* name;
        std::string text;
        const char* section;
        const char* key;
        std::optional<std::string> value;
    } cases[] = {
        {"[ without ] is no header", "[HostList]\nItem0=a\n[broken\nItem1=b\n", "HostList", "Item1",
         "b"},
        {"nor a section of its own", "[HostList]\n[broken\nItem1=b\n", "broken", "Item1",
         std::nullopt},
        {"and a key when it has =", "[A]\n[x=1\n", "A", "[x", "1"},
        {"name runs to the last ]", "[View]]\nFontSize=9\n", "View]", "FontSize", "9"},
        {"so the first ] is not its end", "[View]]\nFontSize=9\n", "View", "FontSize",
         std::nullopt},
        {"text after ] is dropped", "\t[ View ] ; old\nFontSize=9\n", "View", "FontSize", "9"},
        {"a CR alone ends a line", "[A]\rx=1\ry=2", "A", "y", "2"},
        {"# starts no comment", "[A]\n#k=1\n", "A", "#k", "1"},
        {"; after blanks does", "[A]\n  ;k=1\n", "A", ";k", std::nullopt},
        {"a key may have no name", "[A]\n = v\n", "A", "", "v"},
        {"keys above any header are in no section", "k=1\n[A]\n", "A", "k", std::nullopt},
    };
    for (const auto& c : cases) {
        const IniDocument ini = IniDocument::Parse(c.text);
        EXPECT_EQ(ini.Value(c.section, c.key), c.value) << c.name;
        EXPECT_EQ(ini.Serialize(), c.text) << c.name;
    }
}

// Two lines of one key are two hosts, and a key without a name, which
// would end the profile functions' listing, hides none below it.
TEST(IniRead, HostLinesKeepEveryLinesOwnValue)
{
    const IniDocument ini = IniDocument::Parse("[HostList]\nItem0=a\n=x\nitem0=b\n[b\nItem1=c\n");
    using Entries = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(ini.Entries("HostList"), (Entries{{"Item0", "a"}, {"item0", "b"}, {"Item1", "c"}}));
    EXPECT_EQ(ini.KeyNames("HostList"), (std::vector<std::string>{"Item0", "item0", "Item1"}));
    EXPECT_EQ(ini.ReadString("HostList", "ITEM0", "-"), "a");
}

TEST(IniRead, ValueIsCutAt2047Characters)
{
    const IniDocument ini = IniDocument::Parse("[s]\nk=" + std::string(3000, 'x') + "\n");
    EXPECT_EQ(ini.ReadString("s", "k", "").size(), 2047U);
}

TEST(IniRead, ProfileIntegers)
{
    struct Case {
        const char* text;
        std::int32_t value; // 77 stands for "the default"
    };
    for (const Case& c :
         {Case{"1000", 1000}, Case{"-5", -5}, Case{"+7", 7}, Case{"0x3E8", 1000},
          Case{"0X3e8", 1000}, Case{"$3E8", 1000}, Case{"-$10", -16}, Case{"$FFFFFFFF", -1},
          Case{"2147483647", 2147483647}, Case{"-2147483648", -2147483647 - 1},
          Case{"2147483648", 77}, Case{"$100000000", 77}, Case{"abc", 77}, Case{"", 77},
          Case{"12abc", 77}, Case{"0x", 77}, Case{"$", 77}, Case{"1 2", 77}, Case{"-", 77}}) {
        const IniDocument ini = IniDocument::Parse(std::string("[s]\nk=") + c.text + "\n");
        EXPECT_EQ(ini.ReadInteger("s", "k", 77), c.value) << '"' << c.text << '"';
    }
    const IniDocument ini = IniDocument::Parse("[s]\nb=2\nz=0\nx=yes\n");
    EXPECT_TRUE(ini.ReadBool("s", "b", false));
    EXPECT_FALSE(ini.ReadBool("s", "z", true));
    EXPECT_TRUE(ini.ReadBool("s", "x", true));
    EXPECT_FALSE(ini.ReadBool("s", "missing", false));
}

TEST(IniRead, KeyListingIsInFileOrderAndComplete)
{
    std::string text = "[HostList]\n";
    for (int i = 0; i < 5000; ++i) {
        text += "Item" + std::to_string(4999 - i) + "=host" + std::to_string(i) + "\n";
    }
    text += "[Other]\nx=1\n";
    const IniDocument ini = IniDocument::Parse(text);
    const auto names = ini.KeyNames("hostlist");
    ASSERT_EQ(names.size(), 5000U);
    EXPECT_EQ(names.front(), "Item4999");
    EXPECT_EQ(names.back(), "Item0");
    const auto entries = ini.Entries("HostList");
    EXPECT_EQ(entries.back().second, "host4999");
}

TEST(IniWrite, ReplacesInPlaceAddsAfterLastKeyAndAppendsSections)
{
    IniDocument ini = IniDocument::Parse("[A]\r\n"
                                         "one = 1 ; old\r\n"
                                         "two=2\r\n"
                                         "\r\n"
                                         "; about B\r\n"
                                         "[B]\r\n"
                                         "x=y");
    ini.WriteString("a", "ONE", "uno");
    ini.WriteString("A", "three", "3");
    ini.WriteString("B", "z", "last");
    ini.WriteString("C", "k", "v");
    EXPECT_EQ(ini.Serialize(), "[A]\r\n"
                               "one=uno\r\n"
                               "two=2\r\n"
                               "three=3\r\n"
                               "\r\n"
                               "; about B\r\n"
                               "[B]\r\n"
                               "x=y\r\n"
                               "z=last\r\n"
                               "[C]\r\n"
                               "k=v\r\n");
}

TEST(IniWrite, EmptySectionGetsKeysRightAfterItsHeaderAndNewFileStartsClean)
{
    IniDocument ini = IniDocument::Parse("[A]\n; nothing yet\n[B]\n");
    ini.WriteString("A", "k", "v");
    EXPECT_EQ(ini.Serialize(), "[A]\nk=v\n; nothing yet\n[B]\n");

    IniDocument fresh;
    fresh.WriteString("General", "Language", "English");
    EXPECT_EQ(fresh.Serialize(), "[General]\nLanguage=English\n");
}

TEST(IniWrite, EveryLineKeepsItsOwnLineEnd)
{
    const std::string mixed = "[A]\r\nk=1\n[B]\r\nx=2";
    IniDocument ini = IniDocument::Parse(mixed);
    EXPECT_EQ(ini.Serialize(), mixed);
    ini.WriteString("B", "y", "3");
    EXPECT_EQ(ini.Serialize(), "[A]\r\nk=1\n[B]\r\nx=2\r\ny=3\r\n");
}

TEST(IniWrite, EraseSectionRemovesHeaderAndKeysOnly)
{
    IniDocument ini =
        IniDocument::Parse("[HostList]\nItem0=a\n[View]\nFontSize=9\n[hostlist]\nItem0=b\n");
    ini.EraseSection("HOSTLIST");
    EXPECT_EQ(ini.Serialize(), "[View]\nFontSize=9\n");
    ini.EraseSection("Missing");
    EXPECT_EQ(ini.Serialize(), "[View]\nFontSize=9\n");
}

TEST(IniWrite, LineBreaksInValuesCannotPlantLines)
{
    IniDocument ini;
    ini.WriteString("HostList", "Item0", "host\r\n[General]\nLanguage=evil");
    const IniDocument reread = IniDocument::Parse(ini.Serialize());
    EXPECT_EQ(reread.KeyNames("HostList").size(), 1U);
    EXPECT_EQ(reread.ReadString("General", "Language", "none"), "none");
}

TEST(IniWrite, BatchWriteEqualsSingleWrites)
{
    const std::string text = "[S]\na=1\n;c\n[T]\n";
    IniDocument one = IniDocument::Parse(text);
    IniDocument batch = IniDocument::Parse(text);
    const std::vector<std::pair<std::string, std::string>> values{
        {"b", "2"}, {"A", "9"}, {"c", "3"}, {"B", "4"}};
    for (const auto& [key, value] : values) {
        one.WriteString("S", key, value);
    }
    batch.WriteStrings("S", values);
    EXPECT_EQ(batch.Serialize(), one.Serialize());
    EXPECT_EQ(one.Serialize(), "[S]\na=9\nb=4\nc=3\n;c\n[T]\n");
}

// Editors on other systems put a UTF-8 byte order mark before the first
// line; it must neither hide the first header nor be lost or doubled.
TEST(IniByteOrderMark, IsSkippedOnReadingAndKeptOnWriting)
{
    const std::string bom = "\xEF\xBB\xBF";
    const struct {
        const char* name;
        std::string before;
        std::string after; // once Item1=b is written into HostList
    } cases[] = {
        {"mark", bom + "[HostList]\nItem0=a\n", bom + "[HostList]\nItem0=a\nItem1=b\n"},
        {"mark, CR LF", bom + "[HostList]\r\nItem0=a\r\n",
         bom + "[HostList]\r\nItem0=a\r\nItem1=b\r\n"},
        {"no mark", "[HostList]\nItem0=a\n", "[HostList]\nItem0=a\nItem1=b\n"},
        {"mark only", bom, bom + "[HostList]\nItem1=b\n"},
        // Only at the very start is it a mark; elsewhere it is text.
        {"mark later", "[HostList]\n" + bom + "Item0=a\n",
         "[HostList]\n" + bom + "Item0=a\nItem1=b\n"},
    };
    for (const auto& c : cases) {
        IniDocument ini = IniDocument::Parse(c.before);
        EXPECT_EQ(ini.Serialize(), c.before) << c.name;
        ini.WriteString("HostList", "Item1", "b");
        EXPECT_EQ(ini.Serialize(), c.after) << c.name;
    }
    const IniDocument marked = IniDocument::Parse(bom + "[HostList]\nItem0=a\n");
    EXPECT_EQ(marked.KeyNames("HostList"), std::vector<std::string>{"Item0"});
}

} // namespace
} // namespace pelmora
