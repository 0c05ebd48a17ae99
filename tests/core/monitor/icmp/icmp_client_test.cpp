#include "core/monitor/icmp/icmp_client.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "core/monitor/icmp/icmp_packet.h"
#include "core/monitor/net/probe_errors.h"
#include "core/monitor/net/stop_signal.h"
#include "fake_icmp_peer.h"
#include "icmp_datagrams.h"
#include "process_usage.h"
#include "reply_description.h"
#include "support/private_network.h"

namespace pelmora {
namespace {

using Clock = std::chrono::steady_clock;
using test::Bytes;
using test::Describe;

constexpr const char* kFakeHost = "127.0.0.9";
constexpr const char* kRouter = "127.0.0.254";

std::uint16_t SequenceOf(const Bytes& icmp)
{
    return static_cast<std::uint16_t>(icmp.at(6) | (icmp.at(7) << 8));
}

std::uint16_t IdentifierOf(const Bytes& icmp)
{
    return static_cast<std::uint16_t>(icmp.at(4) | (icmp.at(5) << 8));
}

// The echo reply a well-behaved host would send to `request`.
Bytes ReplyTo(const Bytes& request, std::uint8_t ttl)
{
    const Bytes icmp = test::IcmpPart(request);
    const Bytes data(icmp.begin() + 8, icmp.end());
    return test::IpDatagram(test::Address(kFakeHost), test::Address("127.0.0.1"), ttl,
                            test::EchoMessage(0, IdentifierOf(icmp), SequenceOf(icmp), data));
}

// A report about `request` sent by a router on its path.
Bytes ReportOn(const Bytes& request, std::uint8_t type, std::uint8_t ttl)
{
    return test::IpDatagram(test::Address(kRouter), test::Address("127.0.0.1"), ttl,
                            test::Report(type, 0, request));
}

long long MillisecondsSince(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

class IcmpClientTest : public test::PrivateNetworkTest {
protected:
    void SetUp() override
    {
        PrivateNetworkTest::SetUp();
        client.OnReply = [this](EchoProbe& sender, const TReplyStatus& status) {
            EXPECT_EQ(&sender, &client);
            replies.push_back(status);
        };
    }

    // One completed call; fails the test unless exactly one reply event ran.
    TReplyStatus EchoTo(const std::string& host)
    {
        replies.clear();
        client.Host = host;
        client.Echo();
        EXPECT_EQ(replies.size(), 1U);
        return replies.empty() ? TReplyStatus{} : replies.back();
    }

    // The kernel's own echo answers stay off so only a fake peer answers.
    static void SilenceTheKernel() { test::SetNetSysctl("ipv4/icmp_echo_ignore_all", "1"); }

    TIdIcmpClient client;
    std::vector<TReplyStatus> replies;
};

TEST_F(IcmpClientTest, LoopbackAnswersUnderEveryNameForIt)
{
    for (const char* host :
         {"127.0.0.1", "LOCALHOST", "localhost", "LocalHost", "127.000.000.001"}) {
        const std::uint16_t sequence = client.NextSequence();
        const TReplyStatus status = EchoTo(host);
        EXPECT_EQ(Describe(status),
                  "EchoReply from 127.0.0.1, TTL 64, 72 bytes, type 0, sequence " +
                      std::to_string(sequence))
            << host;
        EXPECT_LT(status.RoundTripMs, 1500U) << host;
        EXPECT_EQ(Describe(client.ReplyStatus()), Describe(status)) << host;
    }
}

TEST_F(IcmpClientTest, RequestCarriesOurNumbersPayloadAndTtl128)
{
    SilenceTheKernel();
    const test::FakeIcmpPeer peer(
        kFakeHost, [](const Bytes& request, const auto& link) { link.Send(ReplyTo(request, 64)); });

    EXPECT_EQ(EchoTo(kFakeHost).SequenceNumber, 3489);
    EXPECT_EQ(EchoTo(kFakeHost).SequenceNumber, 3490);

    const std::vector<Bytes> requests = peer.Requests();
    ASSERT_EQ(requests.size(), 2U);
    for (std::size_t i = 0; i < requests.size(); ++i) {
        const Bytes& datagram = requests[i];
        EXPECT_EQ(datagram[8], 128) << "time-to-live of request " << i;
        const Bytes icmp = test::IcmpPart(datagram);
        ASSERT_EQ(icmp.size(), kEchoRequestSize);
        EXPECT_EQ(icmp[0], 8);
        EXPECT_EQ(icmp[1], 0);
        EXPECT_EQ(InternetChecksum(icmp.data(), icmp.size()), 0) << "request " << i;
        EXPECT_EQ(IdentifierOf(icmp), static_cast<std::uint16_t>(::getpid() & 0xFFFF));
        EXPECT_EQ(SequenceOf(icmp), 3489 + i);
        EXPECT_EQ(Bytes(icmp.begin() + 12, icmp.begin() + 20), Bytes(8, 0));
        EXPECT_EQ(Bytes(icmp.begin() + 20, icmp.end()), Bytes(32, 0x45));
    }
    EXPECT_EQ(requests[0][26], 0xA1);
    EXPECT_EQ(requests[0][27], 0x0D);
}

TEST_F(IcmpClientTest, OnlyCompletedCallsAdvanceTheSequence)
{
    EXPECT_EQ(client.NextSequence(), 3489);

    client.Host = "no-such-host.invalid";
    try {
        client.Echo();
        ADD_FAILURE() << "resolved a name that does not exist";
    } catch (const EIdSocketError& error) {
        EXPECT_EQ(error.Code(), 11001);
        EXPECT_STREQ(error.what(), "Socket Error # 11001\r\nHost not found.");
    }
    // This private network has no route beyond loopback.
    client.Host = "192.0.2.7";
    try {
        client.Echo();
        ADD_FAILURE() << "sent to an address without a route";
    } catch (const EIdSocketError& error) {
        EXPECT_STREQ(error.what(), "Socket Error # 10051\r\nNetwork is unreachable.");
    }
    EXPECT_TRUE(replies.empty()) << "no reply event for a failed call";
    EXPECT_EQ(client.NextSequence(), 3489);

    EXPECT_EQ(EchoTo("127.0.0.1").SequenceNumber, 3489);
    EXPECT_EQ(client.NextSequence(), 3490);

    // A sequence argument replaces the number; 65535 wraps to 0.
    client.Echo({}, 65535);
    EXPECT_EQ(replies.back().SequenceNumber, 65535);
    EXPECT_EQ(client.NextSequence(), 0);
    EXPECT_EQ(EchoTo("127.0.0.1").Status, ReplyKind::EchoReply);
    EXPECT_EQ(client.NextSequence(), 1);
}

TEST_F(IcmpClientTest, SilentHostTimesOutAfterTheReceiveTimeout)
{
    test::AddSilentTestNetAddress();
    const Clock::time_point start = Clock::now();

    const TReplyStatus status = EchoTo(test::kSilentAddress);

    const long long elapsed = MillisecondsSince(start);
    EXPECT_EQ(Describe(status), "TimedOut from 0.0.0.0, TTL 0, 0 bytes, type 0, sequence 3489");
    EXPECT_GE(status.RoundTripMs, 1500U);
    EXPECT_GE(elapsed, 1500);
    EXPECT_LT(elapsed, 3000);
    EXPECT_EQ(client.NextSequence(), 3490) << "a timeout completes the call";
}

TEST_F(IcmpClientTest, ReportsQuotingTheRequestComeFromTheRouter)
{
    SilenceTheKernel();
    struct Case {
        std::uint8_t type;
        const char* expected;
    };
    for (const Case& c :
         {Case{3, "Unreachable from 127.0.0.254, TTL 250, 100 bytes, type 3, sequence "},
          Case{11, "TtlExpired from 127.0.0.254, TTL 250, 100 bytes, type 11, sequence "}}) {
        const std::uint8_t type = c.type;
        const test::FakeIcmpPeer router(kFakeHost, [type](const Bytes& request, const auto& link) {
            link.Send(ReportOn(request, type, 250));
        });
        const std::uint16_t sequence = client.NextSequence();
        EXPECT_EQ(Describe(EchoTo(kFakeHost)), c.expected + std::to_string(sequence));
    }
}

TEST_F(IcmpClientTest, DatagramsThatAreNotTheAnswerAreSkipped)
{
    SilenceTheKernel();
    const test::FakeIcmpPeer peer(kFakeHost, [](const Bytes& request, const auto& link) {
        const Bytes icmp = test::IcmpPart(request);
        const std::uint16_t id = IdentifierOf(icmp);
        const std::uint16_t sequence = SequenceOf(icmp);
        const in_addr host = test::Address(kFakeHost);
        const in_addr us = test::Address("127.0.0.1");
        const Bytes data(icmp.begin() + 8, icmp.end());
        Bytes badChecksum = ReplyTo(request, 4);
        badChecksum.back() ^= 0x01;
        Bytes quotedElsewhere = request;
        const in_addr elsewhere = test::Address("192.0.2.9");
        std::memcpy(&quotedElsewhere[16], &elsewhere.s_addr, 4);
        // Each decoy has a TTL of its own, so an accepted one shows.
        const std::vector<Bytes> decoys = {
            test::IpDatagram(test::Address(kRouter), us, 1, test::IcmpPart(ReplyTo(request, 1))),
            test::IpDatagram(
                host, us, 2,
                test::EchoMessage(0, static_cast<std::uint16_t>(id + 1), sequence, data)),
            test::IpDatagram(
                host, us, 3,
                test::EchoMessage(0, id, static_cast<std::uint16_t>(sequence - 1), data)),
            badChecksum,
            test::IpDatagram(host, us, 5, test::EchoMessage(8, id, sequence, data)),
            test::IpDatagram(host, us, 6, test::IcmpMessage(13, 0, Bytes(16, 0))),
            test::IpDatagram(test::Address(kRouter), us, 7, test::Report(5, 1, request)),
            ReportOn(quotedElsewhere, 3, 8),
            test::IpDatagram(host, us, 9, Bytes{0, 0, 0xFF}),
        };
        for (const Bytes& decoy : decoys) {
            link.Send(decoy);
        }
        link.Send(ReplyTo(request, 99));
    });

    EXPECT_EQ(Describe(EchoTo(kFakeHost)),
              "EchoReply from 127.0.0.9, TTL 99, 72 bytes, type 0, sequence 3489");
}

TEST_F(IcmpClientTest, FloodOfForeignRepliesDoesNotStretchTheWait)
{
    SilenceTheKernel();
    const test::FakeIcmpPeer flooder(kFakeHost, [](const Bytes& request, const auto& link) {
        const Bytes icmp = test::IcmpPart(request);
        const Bytes data(icmp.begin() + 8, icmp.end());
        const Bytes foreign = test::IpDatagram(
            test::Address(kFakeHost), test::Address("127.0.0.1"), 64,
            test::EchoMessage(0, static_cast<std::uint16_t>(IdentifierOf(icmp) + 1),
                              SequenceOf(icmp), data));
        const Clock::time_point start = Clock::now();
        while (!link.Stopping() && Clock::now() - start < std::chrono::seconds(5)) {
            link.Send(foreign);
        }
    });
    const Clock::time_point start = Clock::now();

    const TReplyStatus status = EchoTo(kFakeHost);

    const long long elapsed = MillisecondsSince(start);
    EXPECT_EQ(Describe(status), "TimedOut from 0.0.0.0, TTL 0, 0 bytes, type 0, sequence 3489");
    EXPECT_GE(elapsed, 1500);
    EXPECT_LT(elapsed, 3000);
}

TEST_F(IcmpClientTest, StopRequestEndsAWaitingEcho)
{
    test::AddSilentTestNetAddress();
    StopSignal stop;
    client.Abort = &stop;
    client.ReceiveTimeout = 30000;
    client.Host = test::kSilentAddress;
    std::thread stopper([&stop] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        stop.Raise();
    });
    const Clock::time_point start = Clock::now();

    EXPECT_THROW(client.Echo(), EIdAborted);

    EXPECT_LT(MillisecondsSince(start), 3000);
    stopper.join();
    EXPECT_TRUE(replies.empty());
    EXPECT_EQ(client.NextSequence(), 3489);

    // Once raised, every further call ends at once.
    const Clock::time_point again = Clock::now();
    EXPECT_THROW(client.Echo(), EIdAborted);
    EXPECT_LT(MillisecondsSince(again), 1000);
}

TEST_F(IcmpClientTest, DescriptorsAndThreadsStayFlatOverTenThousandProbes)
{
    client.Host = "127.0.0.1";
    std::size_t answered = 0;
    client.OnReply = [&answered](EchoProbe&, const TReplyStatus& status) {
        answered += status.Status == ReplyKind::EchoReply ? 1 : 0;
    };
    const std::size_t descriptors = test::OpenDescriptorCount();
    const std::size_t threads = test::ThreadCount();

    for (int i = 0; i < 10000; ++i) {
        client.Echo();
    }

    EXPECT_EQ(answered, 10000U);
    EXPECT_EQ(test::OpenDescriptorCount(), descriptors);
    EXPECT_EQ(test::ThreadCount(), threads);
}

} // namespace
} // namespace pelmora
