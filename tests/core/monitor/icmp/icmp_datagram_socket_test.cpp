#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/monitor/engine/probe_runs.h"
#include "fake_icmp_peer.h"
#include "icmp_datagrams.h"
#include "process_usage.h"
#include "reply_description.h"
#include "support/private_network.h"
#include "without_net_raw.h"

// The echo probe of a process without CAP_NET_RAW: it falls back to the ICMP
// datagram socket and must report what it finds exactly as the raw socket
// does, or fail with "Cannot allocate socket." when that socket is refused
// too.
namespace pelmora {
namespace {

using test::Bytes;

constexpr const char* kFakeHost = "127.0.0.9";
constexpr const char* kRouter = "127.0.0.254";

// Runs one echo of `host` without CAP_NET_RAW and describes the reply.
std::string EchoWithoutNetRaw(const char* host)
{
    return test::RunWithoutNetRaw([host] {
        ProbeEngine engine;
        return test::Told(test::RunProbe(engine, test::EchoJob(host)), ProbeKind::Echo);
    });
}

Bytes DataOf(const Bytes& icmp)
{
    return {icmp.begin() + 8, icmp.end()};
}

class IcmpDatagramSocketTest : public test::PrivateNetworkTest {
protected:
    void SetUp() override
    {
        PrivateNetworkTest::SetUp();
        if (!IsSkipped()) {
            test::SetNetSysctl("ipv4/ping_group_range", "0 2147483647");
        }
    }
};

TEST_F(IcmpDatagramSocketTest, LoopbackAnswerCarriesTheSameItemsAsOnARawSocket)
{
    EXPECT_EQ(EchoWithoutNetRaw("LOCALHOST"),
              "EchoReply from 127.0.0.1, TTL 64, 72 bytes, type 0, sequence 3489");
}

TEST_F(IcmpDatagramSocketTest, ReportsArriveThroughTheErrorQueue)
{
    test::SetNetSysctl("ipv4/icmp_echo_ignore_all", "1");
    struct Case {
        std::uint8_t type;
        const char* expected;
    };
    for (const Case& c :
         {Case{3, "Unreachable from 127.0.0.254, TTL 250, 100 bytes, type 3, sequence 3489"},
          Case{11, "TtlExpired from 127.0.0.254, TTL 250, 100 bytes, type 11, sequence 3489"}}) {
        const std::uint8_t type = c.type;
        const test::FakeIcmpPeer router(kFakeHost, [type](const Bytes& request, const auto& link) {
            link.Send(test::IpDatagram(test::Address(kRouter), test::Address("127.0.0.1"), 250,
                                       test::Report(type, 0, request)));
        });
        EXPECT_EQ(EchoWithoutNetRaw(kFakeHost), c.expected);
    }
}

TEST_F(IcmpDatagramSocketTest, RepliesFromElsewhereOrToAnEarlierRequestAreSkipped)
{
    test::SetNetSysctl("ipv4/icmp_echo_ignore_all", "1");
    // The kernel hands this socket only replies carrying its identifier, so
    // the decoys carry it too.
    const test::FakeIcmpPeer peer(kFakeHost, [](const Bytes& request, const auto& link) {
        const Bytes icmp = test::IcmpPart(request);
        const auto id = static_cast<std::uint16_t>(icmp[4] | (icmp[5] << 8));
        const auto sequence = static_cast<std::uint16_t>(icmp[6] | (icmp[7] << 8));
        const in_addr host = test::Address(kFakeHost);
        const in_addr us = test::Address("127.0.0.1");
        link.Send(test::IpDatagram(test::Address(kRouter), us, 1,
                                   test::EchoMessage(0, id, sequence, DataOf(icmp))));
        link.Send(test::IpDatagram(
            host, us, 2,
            test::EchoMessage(0, id, static_cast<std::uint16_t>(sequence - 1), DataOf(icmp))));
        link.Send(test::IpDatagram(host, us, 99, test::EchoMessage(0, id, sequence, DataOf(icmp))));
    });

    EXPECT_EQ(EchoWithoutNetRaw(kFakeHost),
              "EchoReply from 127.0.0.9, TTL 99, 72 bytes, type 0, sequence 3489");
}

TEST_F(IcmpDatagramSocketTest, NoWayToSendIsCannotAllocateSocket)
{
    test::SetNetSysctl("ipv4/ping_group_range", "1 0");

    EXPECT_EQ(EchoWithoutNetRaw("127.0.0.1"), "Cannot allocate socket.");
}

TEST_F(IcmpDatagramSocketTest, DescriptorsStayFlatOverTenThousandProbes)
{
    const std::string outcome = test::RunWithoutNetRaw([] {
        ProbeEngine engine;
        int answered = 0;
        const std::size_t before = test::OpenDescriptorCount();
        for (int cycle = 0; cycle < 10; ++cycle) {
            for (const ProbeAnswer& answer :
                 test::RunProbes(engine, std::vector<ProbeJob>(1000, test::EchoJob("127.0.0.1")))) {
                answered += !answer.failure && answer.echo.Status == ReplyKind::EchoReply ? 1 : 0;
            }
        }
        const std::size_t after = test::OpenDescriptorCount();
        return std::to_string(answered) + " answers, descriptors " +
               (after == before ? std::string("flat")
                                : std::to_string(before) + " -> " + std::to_string(after));
    });

    EXPECT_EQ(outcome, "10000 answers, descriptors flat");
}

} // namespace
} // namespace pelmora
