// The text rules behind the host entry and settings dialogs.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/config/host_entry_mode.h"
#include "core/config/ip_field_text.h"
#include "core/config/language_list.h"
#include "core/config/proxy_field.h"
#include "core/config/proxy_record.h"
#include "support/temp_dir.h"

namespace pelmora {
namespace {

TEST(IpFieldText, PadIpOctetsGivesEveryPartThreeDigitsAtFixedPlaces)
{
    const struct {
        const char* input;
        const char* padded;
    } cases[] = {
        {"192.168.1.1", "192.168.001.001"},
        {"10.0.0.254", "010.000.000.254"},
        {"1..3.4", "001.000.003.004"},
        {"255.255.255.255", "255.255.255.255"},
        {"", "000000000000000"},
        {"10.1", "010.00000000001"},
        // A long part pushes the later zeros along with it.
        {"1234.1.1.1", "12340.1.001.001"},
        // A name has no dots: twelve zeros go in front of it.
        {"myhost", "000000000000myhost"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PadIpOctets(c.input), c.padded) << c.input;
    }
}

TEST(IpFieldText, KeepDigitsAndDotsDropsBlankMarksAndEverythingElse)
{
    EXPECT_EQ(KeepDigitsAndDots("10_.1__.2__.3__"), "10.1.2.3");
    EXPECT_EQ(KeepDigitsAndDots("___.___.___.___"), "...");
    EXPECT_EQ(KeepDigitsAndDots("a1 b:2-.3"), "12.3");
    EXPECT_EQ(KeepDigitsAndDots(""), "");
}

TEST(ProxyRecord, SplitsAtTheFirstColonWithThePortInSixteenBits)
{
    const struct {
        const char* text;
        std::optional<TProxyRecord> record;
    } cases[] = {
        {"10.0.0.1:3128", TProxyRecord{"10.0.0.1", 3128}},
        {"proxy.lan:8080:9", std::nullopt},
        {"proxy.lan:65537", TProxyRecord{"proxy.lan", 1}},
        {"10.0.0.1:-1", TProxyRecord{"10.0.0.1", 65535}},
        {"3128", TProxyRecord{"", 3128}},
        {"10.0.0.1:", std::nullopt},
        {"10.0.0.1:80x", std::nullopt},
        {"10.0.0.1:2147483648", std::nullopt},
        {"[2001:db8::1]:3128", TProxyRecord{"2001:db8::1", 3128}},
        {"[::1]:8080", TProxyRecord{"::1", 8080}},
        {"[::1]8080", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ProxyRecordFromText(c.text), c.record) << c.text;
    }
    EXPECT_EQ(ProxyText({"010.000.000.001", 3128}), "010.000.000.001:3128");
    EXPECT_EQ(ProxyText({"", 0}), ":0");
    EXPECT_EQ(ProxyText({"2001:db8::1", 3128}), "[2001:db8::1]:3128");
}

TEST(ProxyField, AnIpv4ServerIsPaddedAndANamedOneShownAsItIs)
{
    EXPECT_EQ(ProxyFieldText({"192.168.1.1", 3128}), "192.168.001.001:03128");
    EXPECT_EQ(ProxyFieldText({"10.0.0.1", 65535}), "010.000.000.001:65535");
    EXPECT_EQ(ProxyFieldText({"", 80}), "000000000000000:00080");
    EXPECT_EQ(ProxyFieldText({"proxy.example.net", 8080}), "proxy.example.net:8080");
    EXPECT_EQ(ProxyFieldText({"::1", 3128}), "[::1]:3128");
    EXPECT_EQ(ProxyFieldText({"2001:db8::1", 80}), "[2001:db8::1]:80");
}

TEST(ProxyField, ParseKeepsDigitsAndDotsOrANameAndSixteenBitsOfThePort)
{
    const struct {
        const char* field;
        TProxyRecord record;
    } cases[] = {
        {"010.000.000.001:03128", {"010.000.000.001", 3128}},
        {"1_.2__.3__.4__:8080", {"1.2.3.4", 8080}},
        {"10.0.0.1:1_2:3", {"10.0.0.1", 123}},
        {"10.0.0.1:70000", {"10.0.0.1", 70000 - 65536}},
        {"10.0.0.1:2147483647", {"10.0.0.1", 65535}},
        // Without a colon there is no server and every digit is the port.
        {"10.0.0.1", {"", 10001}},
        {" proxy.example.net :8080", {"proxy.example.net", 8080}},
        {"proxy-1:3128", {"proxy-1", 3128}},
        {"[2001:db8::1]:3128", {"2001:db8::1", 3128}},
        {" [ ::1 ]:03128", {"::1", 3128}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseProxyField(c.field), c.record) << c.field;
    }
}

TEST(ProxyField, APortThatIsNoInt32NamesTheDigitsFound)
{
    const struct {
        const char* field;
        const char* message;
    } cases[] = {
        {"10.0.0.1:", "'' is not a valid integer value"},
        {"10.0.0.1:____", "'' is not a valid integer value"},
        {"10.0.0.1:2147483648", "'2147483648' is not a valid integer value"},
        {"10.0.0.1:99999999999", "'99999999999' is not a valid integer value"},
        {"", "'' is not a valid integer value"},
    };
    for (const auto& c : cases) {
        try {
            ParseProxyField(c.field);
            ADD_FAILURE() << c.field << " was accepted";
        } catch (const InvalidIntegerError& error) {
            EXPECT_STREQ(error.what(), c.message) << c.field;
        }
    }
}

TEST(HostEntryMode, EditClassifiesByHttpInAnyCaseThenTwoBackslashes)
{
    const struct {
        const char* line;
        HostEntryMode mode;
    } cases[] = {
        {"http://10.0.0.7/", HostEntryMode::EditHTTP},
        {"HTTP://10.0.0.7/", HostEntryMode::EditHTTP},
        {"hTtPs://x", HostEntryMode::EditHTTP},
        {"http", HostEntryMode::EditHTTP},
        {"htt", HostEntryMode::EditIP},
        {"\\\\server", HostEntryMode::EditLAN},
        {"\\\\", HostEntryMode::EditLAN},
        {"//server", HostEntryMode::EditIP},
        {"\\server", HostEntryMode::EditIP},
        {"192.168.1.1", HostEntryMode::EditIP},
        {"", HostEntryMode::EditIP},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EditModeOf(c.line), c.mode) << c.line;
    }
}

TEST(LanguageList, NamesBeforeTheFirstLngInListingOrder)
{
    EXPECT_EQ(LanguageNamesFromListing({".", "..", "English.lng", "readme.txt", "Deutsch.lng.bak",
                                        "Old.LNG", "a.lng.lng", "x.lngfoo", ".lng"}),
              (std::vector<std::string>{"English", "Deutsch", "a", "x", ""}));
}

TEST(LanguageList, ListsFilesAndFoldersOfTheFolderAndNothingWithoutIt)
{
    test::TempDir dir;
    test::WriteFile(dir / "English.lng", "");
    test::WriteFile(dir / "notes.txt", "");
    std::filesystem::create_directory(dir / "Archive.lng.d");
    std::vector<std::string> names = ListLanguageNames(dir.Path());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Archive", "English"}));
    EXPECT_TRUE(ListLanguageNames(dir / "missing").empty());
}

} // namespace
} // namespace pelmora
