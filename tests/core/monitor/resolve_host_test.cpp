#include "core/monitor/net/resolve_host.h"

#include <gtest/gtest.h>

#include "core/monitor/net/probe_errors.h"
#include "support/private_network.h"

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
        EXPECT_EQ(DottedDecimal(ResolveHost(name)), "127.0.0.1") << name;
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

} // namespace
} // namespace pelmora
