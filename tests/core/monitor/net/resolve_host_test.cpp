#include "core/monitor/net/resolve_host.h"

#include <netdb.h>
#include <sys/mount.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "core/monitor/net/probe_errors.h"
#include "support/private_mounts.h"
#include "support/private_network.h"
#include "support/temp_dir.h"

namespace pelmora {
namespace {

TEST(ResolveHost, DottedQuadsAreAddressesAndEverythingElseIsAName)
{
    struct Case {
        const char* text;
        const char* address; // nullptr: a name
    };
    for (const Case& c :
         {Case{"10.1.1.1", "10.1.1.1"}, Case{"010.1.1.1", "10.1.1.1"},
          Case{"255.255.255.255", "255.255.255.255"}, Case{"0.0.0.0", "0.0.0.0"},
          Case{"10.1.1", nullptr}, Case{"10.1.1.1.1", nullptr}, Case{"256.1.1.1", nullptr},
          Case{"1..1.1", nullptr}, Case{"1.1.1.", nullptr}, Case{"-1.1.1.1", nullptr},
          Case{"a.b.c.d", nullptr}, Case{"", nullptr}}) {
        const auto quad = ParseDottedQuad(c.text);
        if (c.address == nullptr) {
            EXPECT_FALSE(quad) << c.text;
        } else {
            ASSERT_TRUE(quad) << c.text;
            EXPECT_EQ(DottedDecimal(*quad), c.address) << c.text;
        }
    }
}

TEST(ResolveHost, LocalhostInAnyCaseIsLoopback)
{
    for (const char* name : {"LOCALHOST", "localhost", "LocalHost"}) {
        EXPECT_EQ(AddressText(ResolveHost(name)), "127.0.0.1") << name;
    }
}

TEST(ResolveHost, Ipv6AddressesNeedNoLookup)
{
    struct Case {
        const char* text;
        const char* address; // nullptr: a name, or nothing usable
    };
    for (const Case& c : {Case{"::1", "::1"}, Case{"2001:DB8:0:0::7", "2001:db8::7"},
                          Case{"::ffff:192.0.2.1", "::ffff:192.0.2.1"}, Case{"::g", nullptr},
                          Case{"[::1]", nullptr}, Case{"fe80::1%lo", nullptr},
                          Case{"1:2:3:4:5:6:7:8:9", nullptr}}) {
        const auto address = AddressWithoutLookup(c.text);
        if (c.address == nullptr) {
            EXPECT_FALSE(address) << c.text;
        } else {
            ASSERT_TRUE(address) << c.text;
            EXPECT_TRUE(address->IsV6()) << c.text;
            EXPECT_EQ(AddressText(*address), c.address) << c.text;
        }
    }
}

// Inside a private network, so the resolver's question goes nowhere.
class ResolveName : public test::PrivateNetworkTest {};

TEST_F(ResolveName, UnresolvableNameIsHostNotFound)
{
    for (const char* name : {"", "no-such-host.invalid"}) {
        try {
            ResolveHost(name);
            FAIL() << name;
        } catch (const EIdSocketError& error) {
            EXPECT_EQ(error.Code(), 11001);
            EXPECT_STREQ(error.what(), "Socket Error # 11001\r\nHost not found.");
        }
    }
}

// A name the hosts file gives only an IPv6 address for resolves to it, and
// a name with both kinds takes the first the resolver orders.
TEST_F(ResolveName, NamesResolveToEitherFamily)
{
    std::string whyNot;
    if (!test::EnterPrivateMounts(&whyNot)) {
        GTEST_SKIP() << whyNot;
    }
    const test::TempDir folder;
    const std::filesystem::path hosts = folder.Path() / "hosts";
    std::ofstream(hosts) << "2001:db8::5 only-six.test\n"
                            "192.0.2.5 both.test\n"
                            "2001:db8::6 both.test\n";
    ASSERT_EQ(::mount(hosts.c_str(), "/etc/hosts", nullptr, MS_BIND, nullptr), 0)
        << std::strerror(errno);

    EXPECT_EQ(AddressText(ResolveHost("only-six.test")), "2001:db8::5");

    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    ASSERT_EQ(::getaddrinfo("both.test", nullptr, &hints, &found), 0);
    sockaddr_storage first{};
    std::memcpy(&first, found->ai_addr, found->ai_addrlen);
    ::freeaddrinfo(found);
    EXPECT_EQ(AddressText(ResolveHost("both.test")), AddressText(FromSocketAddress(first)));
}

} // namespace
} // namespace pelmora
