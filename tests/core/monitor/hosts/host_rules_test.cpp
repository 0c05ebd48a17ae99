#include "core/monitor/hosts/host_rules.h"

#include <gtest/gtest.h>

#include <ostream>

namespace pelmora {
namespace {

struct TargetCase {
    const char* target;
    HostKind kind;
    const char* probeName; // ICMP name for IP/LAN, HTTP host text for HTTP
};

void PrintTo(const TargetCase& c, std::ostream* out)
{
    *out << '"' << c.target << '"';
}

class TargetRules : public ::testing::TestWithParam<TargetCase> {};

TEST_P(TargetRules, KindAndProbeName)
{
    const TargetCase& c = GetParam();
    EXPECT_EQ(KindOf(c.target), c.kind);
    const std::string name =
        c.kind == HostKind::HTTP ? HttpHostText(c.target) : IcmpProbeName(c.target);
    EXPECT_EQ(name, c.probeName);
}

TEST(HostKindName, NamesEachKind)
{
    EXPECT_STREQ(HostKindName(HostKind::IP), "IP");
    EXPECT_STREQ(HostKindName(HostKind::HTTP), "HTTP");
    EXPECT_STREQ(HostKindName(HostKind::LAN), "LAN");
}

INSTANTIATE_TEST_SUITE_P(
    Targets, TargetRules,
    ::testing::Values(
        TargetCase{"10.0.0.1", HostKind::IP, "10.0.0.1"},
        TargetCase{"server.example", HostKind::IP, "server.example"},
        TargetCase{"http", HostKind::IP, "http"}, // shorter than "http:"
        TargetCase{"https://a.example", HostKind::HTTP, "a.example"},
        TargetCase{"HTTPS://A:8443/x", HostKind::HTTP, "A:8443/x"},
        TargetCase{"hTTps:a", HostKind::HTTP, "a"}, TargetCase{"https:", HostKind::HTTP, ""},
        TargetCase{"httpsx://a", HostKind::IP, "httpsx://a"},
        TargetCase{"https", HostKind::IP, "https"},
        TargetCase{"http://10.0.0.7/", HostKind::HTTP, "10.0.0.7/"},
        TargetCase{"http:server", HostKind::HTTP, "server"},
        TargetCase{"http:/server", HostKind::HTTP, "server"},
        TargetCase{"HTTP://Server:8080/x", HostKind::HTTP, "Server:8080/x"},
        TargetCase{"hTtP://a", HostKind::HTTP, "a"}, TargetCase{"http://", HostKind::HTTP, ""},
        TargetCase{"//pc1", HostKind::LAN, "pc1"}, TargetCase{"\\\\pc1", HostKind::LAN, "pc1"},
        TargetCase{"//", HostKind::LAN, ""}, TargetCase{"/\\pc1", HostKind::IP, "/\\pc1"},
        TargetCase{"", HostKind::IP, ""}));

TEST(HttpAddressRule, HostPortAndPath)
{
    struct Case {
        const char* text;
        const char* host;
        std::uint16_t port;
        const char* path;
    };
    for (const Case& c :
         {Case{"10.0.0.7/", "10.0.0.7", 80, "/"}, Case{"10.0.0.7", "10.0.0.7", 80, "/"},
          Case{"server:8080/status?x=1#top", "server", 8080, "/status?x=1"},
          Case{"server?q", "server", 80, "/?q"}, Case{"user:pw@server:81/", "server", 81, "/"},
          Case{"server:/a", "server", 80, "/a"}}) {
        const auto address = ParseHttpHostText(c.text);
        ASSERT_TRUE(address) << c.text;
        EXPECT_EQ(address->host, c.host) << c.text;
        EXPECT_EQ(address->port, c.port) << c.text;
        EXPECT_EQ(address->path, c.path) << c.text;
    }
    for (const char* bad : {"", "/path", ":80", "server:0", "server:65536", "server:8x"}) {
        EXPECT_FALSE(ParseHttpHostText(bad)) << bad;
    }
    EXPECT_EQ(HostHeaderValue({"a", 80, "/"}), "a");
    EXPECT_EQ(HostAndPort({"a", 80, "/"}), "a:80");
    EXPECT_EQ(HostHeaderValue({"a", 8080, "/"}), "a:8080");
}

TEST(HttpAddressRule, EachSchemeHasItsDefaultPort)
{
    struct Case {
        const char* target;
        const char* host;
        std::uint16_t port;
    };
    for (const Case& c : {Case{"http://web/", "web", 80}, Case{"https://web/", "web", 443},
                          Case{"HTTPS://web", "web", 443}, Case{"https://web:80/", "web", 80},
                          Case{"http://web:443", "web", 443}}) {
        const auto address = ParseWebTarget(c.target);
        ASSERT_TRUE(address) << c.target;
        EXPECT_EQ(address->host, c.host) << c.target;
        EXPECT_EQ(address->port, c.port) << c.target;
    }
    EXPECT_FALSE(ParseWebTarget("https://"));
    EXPECT_FALSE(ParseWebTarget("https://web:65536/"));
}

TEST(ProxyRule, SplitAndJoin)
{
    const auto split = SplitProxy("proxy.example:3128");
    ASSERT_TRUE(split);
    EXPECT_EQ(split->server, "proxy.example");
    EXPECT_EQ(split->port, 3128);
    EXPECT_EQ(JoinProxy(split->server, split->port), "proxy.example:3128");

    const auto noColon = SplitProxy("3128");
    ASSERT_TRUE(noColon);
    EXPECT_EQ(noColon->server, "");
    EXPECT_EQ(noColon->port, 3128);

    const auto second = SplitProxy("a:b:1");
    EXPECT_FALSE(second); // "b:1" is no number

    for (const char* bad : {"proxy:", "proxy:abc", "proxy: 80", "proxy:99999999999", ""}) {
        EXPECT_FALSE(SplitProxy(bad)) << bad;
    }
    EXPECT_EQ(SplitProxy("p:-1")->port, -1);
    EXPECT_EQ(SplitProxy("p:070000")->port, 70000);
}

// An IPv6 host stands in brackets, so that its colons are not taken for the
// one before the port; it is taken out of them, and put back wherever it
// stands before a port again.
TEST(HttpAddressRule, BracketedIpv6Host)
{
    struct Case {
        const char* text;
        const char* host;
        std::uint16_t port;
        const char* path;
        const char* hostHeader;
    };
    for (const Case& c :
         {Case{"[2001:db8::7]:8080/", "2001:db8::7", 8080, "/", "[2001:db8::7]:8080"},
          Case{"[::1]", "::1", 80, "/", "[::1]"}, Case{"[::1]/a?b", "::1", 80, "/a?b", "[::1]"},
          Case{"u@[::ffff:192.0.2.1]:81", "::ffff:192.0.2.1", 81, "/", "[::ffff:192.0.2.1]:81"}}) {
        const auto address = ParseHttpHostText(c.text);
        ASSERT_TRUE(address) << c.text;
        EXPECT_EQ(address->host, c.host) << c.text;
        EXPECT_EQ(address->port, c.port) << c.text;
        EXPECT_EQ(address->path, c.path) << c.text;
        EXPECT_EQ(HostHeaderValue(*address), c.hostHeader) << c.text;
    }
    for (const char* bad : {"[::1", "[::1]x", "[::g]", "[fe80::1%eth0]:80", "[]", "2001:db8::7",
                            "::1", "[::1]:65536", "[::1]:0", "[192.0.2.1]"}) {
        EXPECT_FALSE(ParseHttpHostText(bad)) << bad;
    }
    EXPECT_EQ(HostAndPort(*ParseWebTarget("https://[2001:db8::7]")), "[2001:db8::7]:443");
}

// What the settings dialog refuses in a web address, and the detail of an
// entry that has it anyway; other faults stay the probe's to report.
TEST(HttpAddressRule, ProblemsOfIpv6HostsAndPorts)
{
    struct Case {
        const char* target;
        const char* problem;
    };
    for (const Case& c : {
             Case{"http://[2001:db8::7]:8080/", ""},
             Case{"https://web:443/", ""},
             Case{"http://", ""},
             Case{"http://web:/", ""},
             Case{"http://[::1", R"(Missing "]" in "[::1")"},
             Case{"https://[::g]/", "Invalid IPv6 address \"[::g]\""},
             Case{"http://[fe80::1%eth0]/", "Zone index not allowed in \"[fe80::1%eth0]\""},
             Case{"http://[::1]x/", "Nothing but a port may follow \"[::1]\""},
             Case{"http://::1/", "An IPv6 address stands in brackets: \"::1\""},
             Case{"https://[::1]:65536", "Invalid port \"65536\""},
             Case{"http://u:p@web:0/", "Invalid port \"0\""},
             Case{"http://web:8o/", "Invalid port \"8o\""},
         }) {
        EXPECT_EQ(WebAddressProblem(c.target), c.problem) << c.target;
    }
}

TEST(ProxyRule, BracketedIpv6Server)
{
    struct Case {
        const char* text;
        const char* server;
        std::int32_t port;
    };
    for (const Case& c :
         {Case{"[2001:db8::1]:3128", "2001:db8::1", 3128}, Case{"[::1]:8080", "::1", 8080},
          // The missing "]" is left for the address check to report.
          Case{"[2001:db8::1:3128", "[2001:db8::1", 3128}}) {
        const auto split = SplitProxy(c.text);
        ASSERT_TRUE(split) << c.text;
        EXPECT_EQ(split->server, c.server) << c.text;
        EXPECT_EQ(split->port, c.port) << c.text;
    }
    for (const char* bad : {"[2001:db8::1]3128", "[2001:db8::1]", "[::1]:", "[::1]:x", "["}) {
        EXPECT_FALSE(SplitProxy(bad)) << bad;
    }
    EXPECT_EQ(JoinProxy("2001:db8::1", 3128), "[2001:db8::1]:3128");
    EXPECT_EQ(JoinProxy("proxy", 3128), "proxy:3128");
}

} // namespace
} // namespace pelmora
