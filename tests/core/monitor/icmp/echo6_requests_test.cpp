#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "core/monitor/engine/probe_runs.h"
#include "fake_icmp6_peer.h"
#include "icmp_datagrams.h"
#include "reply_description.h"
#include "support/private_network.h"
#include "without_net_raw.h"

// The echo probe of IPv6 addresses: an ICMPv6 socket beside the ICMP one,
// with the same rules for what answers a request.
namespace pelmora {
namespace {

using Clock = std::chrono::steady_clock;
using test::Bytes;
using test::Describe;
using Request = test::FakeIcmp6Peer::Request;
using Link = test::FakeIcmp6Peer::Link;

constexpr const char* kFakeHost = "2001:db8:0:1::9";
constexpr const char* kOtherHost = "2001:db8:0:1::99";
constexpr const char* kRouter = "2001:db8:0:1::fe";

Bytes DataOf(const Bytes& icmp)
{
    return {icmp.begin() + 8, icmp.end()};
}

std::uint16_t IdentifierOf(const Bytes& icmp)
{
    return static_cast<std::uint16_t>(icmp.at(4) | (icmp.at(5) << 8));
}

std::uint16_t SequenceOf(const Bytes& icmp)
{
    return static_cast<std::uint16_t>(icmp.at(6) | (icmp.at(7) << 8));
}

// An ICMPv6 echo reply (or any echo type) with the given numbers; the kernel
// fills in the checksum when it is sent.
Bytes Echo6(std::uint8_t type, std::uint16_t identifier, std::uint16_t sequence, const Bytes& data)
{
    Bytes icmp = {type,
                  0,
                  0,
                  0,
                  static_cast<std::uint8_t>(identifier & 0xFF),
                  static_cast<std::uint8_t>(identifier >> 8),
                  static_cast<std::uint8_t>(sequence & 0xFF),
                  static_cast<std::uint8_t>(sequence >> 8)};
    icmp.insert(icmp.end(), data.begin(), data.end());
    return icmp;
}

Bytes ReplyTo(const Request& request)
{
    return Echo6(129, IdentifierOf(request.icmp), SequenceOf(request.icmp), DataOf(request.icmp));
}

// A report of `type` quoting `request` as it travelled to `quotedTo`.
Bytes Report6(std::uint8_t type, const Request& request, const in6_addr& quotedTo)
{
    Bytes icmp = {type, 0, 0, 0, 0, 0, 0, 0};
    const Bytes quoted = test::Ipv6Datagram(request.from, quotedTo, request.icmp);
    icmp.insert(icmp.end(), quoted.begin(), quoted.end());
    return icmp;
}

class Echo6Test : public test::PrivateNetworkTest {
protected:
    void SetUp() override
    {
        PrivateNetworkTest::SetUp();
        if (!IsSkipped()) {
            for (const char* address : {kFakeHost, kOtherHost, kRouter}) {
                test::Ip(std::string("-6 addr add ") + address + "/128 dev lo nodad");
            }
        }
    }

    std::string EchoTo(const std::string& host)
    {
        const ProbeAnswer answer = test::RunProbe(engine, test::EchoJob(host));
        return answer.failure ? *answer.failure : Describe(answer.echo);
    }

    static void SilenceTheKernel() { test::SetNetSysctl("ipv6/icmp/echo_ignore_all", "1"); }

    ProbeEngine engine;
};

TEST_F(Echo6Test, LoopbackAnswersBesideIpv4InOneCycle)
{
    const auto answers = test::RunProbes(
        engine, {test::EchoJob("::1"), test::EchoJob("127.0.0.1"), test::EchoJob(kFakeHost)});
    EXPECT_EQ(Describe(answers[0].echo),
              "EchoReply from ::1, TTL 64, 92 bytes, type 129, sequence 3489");
    EXPECT_EQ(Describe(answers[1].echo),
              "EchoReply from 127.0.0.1, TTL 64, 72 bytes, type 0, sequence 3489");
    EXPECT_EQ(Describe(answers[2].echo),
              "EchoReply from 2001:db8:0:1::9, TTL 64, 92 bytes, type 129, sequence 3490");
}

// The echo budget itself is the IPv4 test's (1.5 s); here a short one, which
// the silent IPv6 address must use up and not outlast.
TEST_F(Echo6Test, SilentAddressTimesOutAfterTheBudget)
{
    test::AddSilentTestNet6Address();
    ProbeEngine quick(ProbeLimits{.echo = std::chrono::milliseconds(300)});
    const auto start = Clock::now();
    const ProbeAnswer answer = test::RunProbe(quick, test::EchoJob(test::kSilentAddress6));
    EXPECT_FALSE(answer.failure) << *answer.failure;
    EXPECT_EQ(Describe(answer.echo),
              "TimedOut from 0.0.0.0, TTL 0, 0 bytes, type 0, sequence 3489");
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    EXPECT_GE(elapsed, 300);
    EXPECT_LT(elapsed, 1400);
}

TEST_F(Echo6Test, ReportsQuotingTheRequestComeFromTheRouter)
{
    SilenceTheKernel();
    struct Case {
        std::uint8_t type;
        const char* expected;
    };
    for (const Case& c :
         {Case{1, "Unreachable from 2001:db8:0:1::fe, TTL 250, 140 bytes, type 1, sequence "},
          Case{3, "TtlExpired from 2001:db8:0:1::fe, TTL 250, 140 bytes, type 3, sequence "}}) {
        const std::uint8_t type = c.type;
        std::uint16_t sequence = 0;
        const test::FakeIcmp6Peer router(kFakeHost, [&](const Request& request, const Link& link) {
            sequence = SequenceOf(request.icmp);
            link.Send(test::Address6(kRouter), request.from, 250,
                      Report6(type, request, request.to));
        });
        const std::string told = EchoTo(kFakeHost);
        EXPECT_EQ(told, c.expected + std::to_string(sequence));
    }
}

// Foreign identifier, other sequence, wrong source, our own request type, a
// report about another destination: each is skipped, and the real answer
// after them counts.
TEST_F(Echo6Test, DatagramsThatAreNotTheAnswerAreSkipped)
{
    SilenceTheKernel();
    const test::FakeIcmp6Peer peer(kFakeHost, [](const Request& request, const Link& link) {
        const std::uint16_t id = IdentifierOf(request.icmp);
        const std::uint16_t sequence = SequenceOf(request.icmp);
        const Bytes data = DataOf(request.icmp);
        const in6_addr host = test::Address6(kFakeHost);
        // Each decoy has a hop limit of its own, so an accepted one shows.
        link.Send(host, request.from, 1,
                  Echo6(129, static_cast<std::uint16_t>(id + 1), sequence, data));
        link.Send(host, request.from, 2,
                  Echo6(129, id, static_cast<std::uint16_t>(sequence - 1), data));
        link.Send(test::Address6(kOtherHost), request.from, 3, ReplyTo(request));
        link.Send(host, request.from, 4, Echo6(128, id, sequence, data));
        link.Send(test::Address6(kRouter), request.from, 5,
                  Report6(1, request, test::Address6(kOtherHost)));
        link.Send(host, request.from, 99, ReplyTo(request));
    });
    EXPECT_EQ(EchoTo(kFakeHost),
              "EchoReply from 2001:db8:0:1::9, TTL 99, 92 bytes, type 129, sequence 3489");
}

// Without CAP_NET_RAW the ICMPv6 datagram socket gives the same items, its
// reports coming through the error queue.
TEST_F(Echo6Test, DatagramSocketAnswersTheSame)
{
    test::SetNetSysctl("ipv4/ping_group_range", "0 2147483647");
    const auto echo = [](const char* host) {
        return test::RunWithoutNetRaw([host] {
            ProbeEngine own;
            return test::Told(test::RunProbe(own, test::EchoJob(host)), ProbeKind::Echo);
        });
    };
    EXPECT_EQ(echo("::1"), "EchoReply from ::1, TTL 64, 92 bytes, type 129, sequence 3489");

    SilenceTheKernel();
    const test::FakeIcmp6Peer router(kFakeHost, [](const Request& request, const Link& link) {
        link.Send(test::Address6(kRouter), request.from, 250, Report6(1, request, request.to));
    });
    EXPECT_EQ(echo(kFakeHost).substr(0, 58),
              "Unreachable from 2001:db8:0:1::fe, TTL 250, 140 bytes, typ");
}

} // namespace
} // namespace pelmora
