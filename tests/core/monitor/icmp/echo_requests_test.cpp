#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/monitor/engine/probe_runs.h"
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

// The echo probes of the engine: each request over the cycle's one ICMP
// socket, with a sequence number of its own by which its answer is found.
class EchoRequestsTest : public test::PrivateNetworkTest {
protected:
    // One probe that ran to its end; fails the test on a failure.
    TReplyStatus EchoTo(const std::string& host)
    {
        const ProbeAnswer answer = test::RunProbe(engine, test::EchoJob(host));
        EXPECT_FALSE(answer.failure) << *answer.failure;
        return answer.echo;
    }

    // The kernel's own echo answers stay off so only a fake peer answers.
    static void SilenceTheKernel() { test::SetNetSysctl("ipv4/icmp_echo_ignore_all", "1"); }

    ProbeEngine engine;
};

TEST_F(EchoRequestsTest, LoopbackAnswersUnderEveryNameForIt)
{
    std::uint16_t sequence = 3489;
    for (const char* host :
         {"127.0.0.1", "LOCALHOST", "localhost", "LocalHost", "127.000.000.001"}) {
        const ProbeAnswer answer = test::RunProbe(engine, test::EchoJob(host));
        ASSERT_FALSE(answer.failure) << *answer.failure;
        EXPECT_EQ(Describe(answer.echo),
                  "EchoReply from 127.0.0.1, TTL 64, 72 bytes, type 0, sequence " +
                      std::to_string(sequence++))
            << host;
        EXPECT_LT(answer.echo.RoundTripMs, 1500U) << host;
        // Measured to the microsecond: loopback answers well within a
        // millisecond, but never in no time at all.
        ASSERT_TRUE(answer.roundTrip) << host;
        EXPECT_GT(answer.roundTrip->count(), 0) << host;
        EXPECT_LT(*answer.roundTrip, std::chrono::milliseconds(200)) << host;
    }
}

TEST_F(EchoRequestsTest, RequestCarriesOurNumbersPayloadAndTtl128)
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

TEST_F(EchoRequestsTest, FailuresTellWhyAndCostOnlyTheirOwnRequest)
{
    // This private network has no route beyond loopback.
    const std::vector<ProbeAnswer> answers =
        test::RunProbes(engine, {test::EchoJob("no-such-host.invalid"), test::EchoJob("192.0.2.7"),
                                 test::EchoJob("127.0.0.1")});
    EXPECT_EQ(answers[0].failure, "Socket Error # 11001\r\nHost not found.");
    EXPECT_EQ(answers[1].failure, "Socket Error # 10051\r\nNetwork is unreachable.");
    EXPECT_EQ(Describe(answers[2].echo),
              "EchoReply from 127.0.0.1, TTL 64, 72 bytes, type 0, sequence 3489");
}

TEST_F(EchoRequestsTest, SilentHostTimesOutAfterTheReceiveTimeout)
{
    test::AddSilentTestNetAddress();
    const Clock::time_point start = Clock::now();

    const ProbeAnswer answer = test::RunProbe(engine, test::EchoJob(test::kSilentAddress));

    const long long elapsed = MillisecondsSince(start);
    EXPECT_EQ(Describe(answer.echo),
              "TimedOut from 0.0.0.0, TTL 0, 0 bytes, type 0, sequence 3489");
    EXPECT_GE(answer.echo.RoundTripMs, 1500U);
    EXPECT_FALSE(answer.roundTrip) << "a request never answered has no round trip";
    EXPECT_GE(elapsed, 1500);
    EXPECT_LT(elapsed, 3000);
}

TEST_F(EchoRequestsTest, ReportsQuotingTheRequestComeFromTheRouter)
{
    SilenceTheKernel();
    struct Case {
        std::uint8_t type;
        const char* expected;
    };
    std::uint16_t sequence = 3489;
    for (const Case& c :
         {Case{3, "Unreachable from 127.0.0.254, TTL 250, 100 bytes, type 3, sequence "},
          Case{11, "TtlExpired from 127.0.0.254, TTL 250, 100 bytes, type 11, sequence "}}) {
        const std::uint8_t type = c.type;
        const test::FakeIcmpPeer router(kFakeHost, [type](const Bytes& request, const auto& link) {
            link.Send(ReportOn(request, type, 250));
        });
        EXPECT_EQ(Describe(EchoTo(kFakeHost)), c.expected + std::to_string(sequence++));
    }
}

TEST_F(EchoRequestsTest, DatagramsThatAreNotTheAnswerAreSkipped)
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

// Many requests in flight to one host, answered in reverse order and each
// with a TTL of its own: every answer reaches the request it answers.
TEST_F(EchoRequestsTest, ManyRequestsInFlightEachFindTheirOwnAnswer)
{
    SilenceTheKernel();
    constexpr std::size_t kRequests = 200;
    std::vector<Bytes> caught;
    std::mutex mutex;
    const test::FakeIcmpPeer peer(kFakeHost, [&](const Bytes& request, const auto& link) {
        const std::lock_guard lock(mutex);
        caught.push_back(request);
        if (caught.size() < kRequests) {
            return;
        }
        // Answered newest first, so replies arrive in the reverse order.
        std::for_each(caught.rbegin(), caught.rend(), [&link](const Bytes& held) {
            const auto ttl = static_cast<std::uint8_t>(SequenceOf(test::IcmpPart(held)) % 250 + 1);
            link.Send(ReplyTo(held, ttl));
        });
    });

    const std::vector<ProbeAnswer> answers =
        test::RunProbes(engine, std::vector<ProbeJob>(kRequests, test::EchoJob(kFakeHost)));

    for (const ProbeAnswer& answer : answers) {
        ASSERT_FALSE(answer.failure) << *answer.failure;
        EXPECT_EQ(answer.echo.Status, ReplyKind::EchoReply);
        EXPECT_EQ(answer.echo.Ttl, answer.echo.SequenceNumber % 250 + 1);
    }
}

// Every request keeps its own budget (a short one here), however many
// foreign datagrams arrive while many of them wait.
TEST_F(EchoRequestsTest, FloodOfForeignRepliesDoesNotStretchTheWait)
{
    ProbeEngine quick(ProbeLimits{.echo = std::chrono::milliseconds(700)});
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

    const std::vector<ProbeAnswer> answers =
        test::RunProbes(quick, std::vector<ProbeJob>(100, test::EchoJob(kFakeHost)));

    const long long elapsed = MillisecondsSince(start);
    for (const ProbeAnswer& answer : answers) {
        EXPECT_EQ(test::Told(answer, ProbeKind::Echo).substr(0, 30),
                  "TimedOut from 0.0.0.0, TTL 0, ");
    }
    EXPECT_GE(elapsed, 700);
    EXPECT_LT(elapsed, 1400);
}

TEST_F(EchoRequestsTest, StopRequestEndsTheWaitOfAThousandRequests)
{
    test::AddSilentTestNetAddress();
    StopSignal stop;
    std::thread stopper([&stop] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        stop.Raise();
    });
    const Clock::time_point start = Clock::now();

    const std::vector<ProbeAnswer> answers = test::RunProbes(
        engine, std::vector<ProbeJob>(1000, test::EchoJob(test::kSilentAddress)), stop);

    EXPECT_LT(MillisecondsSince(start), 1000);
    stopper.join();
    EXPECT_EQ(answers.front().failure, "still running");
    EXPECT_EQ(answers.back().failure, "still running");
}

TEST_F(EchoRequestsTest, DescriptorsAndThreadsStayFlatOverTenThousandProbes)
{
    const std::size_t descriptors = test::OpenDescriptorCount();
    const std::size_t threads = test::ThreadCount();

    std::size_t answered = 0;
    for (int cycle = 0; cycle < 10; ++cycle) {
        for (const ProbeAnswer& answer :
             test::RunProbes(engine, std::vector<ProbeJob>(1000, test::EchoJob("127.0.0.1")))) {
            answered += !answer.failure && answer.echo.Status == ReplyKind::EchoReply ? 1U : 0U;
        }
    }

    EXPECT_EQ(answered, 10000U);
    EXPECT_EQ(test::OpenDescriptorCount(), descriptors);
    EXPECT_EQ(test::ThreadCount(), threads);
}

} // namespace
} // namespace pelmora
