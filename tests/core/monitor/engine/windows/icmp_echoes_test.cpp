#include "core/monitor/engine/windows/icmp_echoes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <set>

// These tests send echo requests: run them with tools/wine-netns, which
// gives them a private network where loopback answers, 192.0.2.0/25
// swallows every request and 192.0.2.128/25 is reported unreachable.

namespace pelmora {
namespace {

using namespace std::chrono_literals;
using Clock = IcmpEchoes::Clock;

in_addr V4(unsigned char a, unsigned char b, unsigned char c, unsigned char d)
{
    in_addr address{};
    address.S_un.S_un_b = {a, b, c, d};
    return address;
}

in_addr Answering(std::size_t i)
{
    return V4(127, 0, static_cast<unsigned char>(i / 250), static_cast<unsigned char>(1 + i % 250));
}

in_addr Silent(std::size_t i)
{
    return V4(192, 0, 2, static_cast<unsigned char>(1 + i % 126));
}

// Waits alertably until `count` outcomes have come or `limit` has passed.
std::vector<EchoOutcome> Collect(IcmpEchoes& echoes, std::size_t count, Clock::duration limit = 5s)
{
    std::vector<EchoOutcome> got;
    const Clock::time_point end = Clock::now() + limit;
    while (got.size() < count && Clock::now() < end) {
        echoes.Wait({}, std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now()));
        for (EchoOutcome& outcome : echoes.TakeOutcomes()) {
            got.push_back(std::move(outcome));
        }
    }
    return got;
}

// Runs completions until none is outstanding or `limit` has passed.
void Drain(IcmpEchoes& echoes, Clock::duration limit = 5s)
{
    const Clock::time_point end = Clock::now() + limit;
    while (echoes.Outstanding() > 0 && Clock::now() < end) {
        SleepEx(10, TRUE);
    }
}

TEST(IcmpEchoes, AnsweredLoopbackEchoCarriesTheReplyAndAMeasuredRoundTrip)
{
    IcmpEchoes echoes;
    const std::optional<std::uint16_t> sequence = echoes.Send(4, V4(127, 0, 0, 1));
    ASSERT_TRUE(sequence);
    EXPECT_EQ(*sequence, IcmpEchoes::kFirstSequence);

    const std::vector<EchoOutcome> got = Collect(echoes, 1);

    ASSERT_EQ(got.size(), 1U);
    const EchoOutcome& outcome = got[0];
    EXPECT_EQ(outcome.entry, 4U);
    EXPECT_EQ(outcome.failure, 0U);
    EXPECT_EQ(outcome.sequence, *sequence);
    EXPECT_EQ(outcome.reply.Status, ReplyKind::EchoReply);
    EXPECT_EQ(outcome.reply.SourceAddress, "127.0.0.1");
    EXPECT_EQ(outcome.reply.MessageType, 0);
    EXPECT_EQ(outcome.reply.ByteCount, 72U);
    EXPECT_GT(outcome.reply.Ttl, 0);
    EXPECT_EQ(outcome.reply.SequenceNumber, *sequence);
    // Loopback answers well within a millisecond, which the API's own
    // whole milliseconds would give as 0.
    ASSERT_TRUE(outcome.roundTrip);
    EXPECT_GT(outcome.roundTrip->count(), 0);
    EXPECT_LT(*outcome.roundTrip, 500ms);
    EXPECT_EQ(echoes.Outstanding(), 0U);
}

TEST(IcmpEchoes, UnreachableReportNamesTheReporter)
{
    IcmpEchoes echoes;
    const std::optional<std::uint16_t> sequence = echoes.Send(2, V4(192, 0, 2, 200));

    const std::vector<EchoOutcome> got = Collect(echoes, 1);

    ASSERT_EQ(got.size(), 1U);
    EXPECT_EQ(got[0].failure, 0U);
    EXPECT_EQ(got[0].reply.Status, ReplyKind::Unreachable);
    EXPECT_EQ(got[0].reply.SourceAddress, "198.51.100.1");
    EXPECT_EQ(got[0].reply.MessageType, 3);
    EXPECT_GT(got[0].reply.Ttl, 0);
    EXPECT_EQ(got[0].reply.SequenceNumber, *sequence);
    ASSERT_TRUE(got[0].roundTrip);
    EXPECT_LT(*got[0].roundTrip, 500ms);
}

TEST(IcmpEchoes, SilentAddressTimesOutAtItsBudget)
{
    for (const auto budget : {300ms, 1500ms}) {
        IcmpEchoes echoes(budget);
        const Clock::time_point start = Clock::now();
        const std::optional<std::uint16_t> sequence = echoes.Send(0, Silent(0));

        const std::vector<EchoOutcome> got = Collect(echoes, 1);
        const Clock::duration took = Clock::now() - start;

        ASSERT_EQ(got.size(), 1U);
        EXPECT_EQ(got[0].failure, 0U);
        EXPECT_EQ(got[0].reply.Status, ReplyKind::TimedOut);
        EXPECT_EQ(got[0].reply.SourceAddress, "0.0.0.0");
        EXPECT_EQ(got[0].reply.Ttl, 0);
        EXPECT_EQ(got[0].reply.ByteCount, 0U);
        EXPECT_EQ(got[0].reply.SequenceNumber, *sequence);
        EXPECT_FALSE(got[0].roundTrip);
        EXPECT_GE(took, budget - 5ms);
        EXPECT_LT(took, budget + 300ms);
        EXPECT_GE(got[0].reply.RoundTripMs, budget.count() - 5);
    }
}

TEST(IcmpEchoes, Ipv6LoopbackAnswers)
{
    IcmpEchoes echoes;
    echoes.Send(1, in6addr_loopback);
    const std::vector<EchoOutcome> got = Collect(echoes, 1);
    ASSERT_EQ(got.size(), 1U);
    if (got[0].failure == ERROR_CALL_NOT_IMPLEMENTED) {
        GTEST_SKIP() << "no Icmp6CreateFile here (Wine 8 has none)";
    }
    EXPECT_EQ(got[0].failure, 0U);
    EXPECT_EQ(got[0].reply.Status, ReplyKind::EchoReply);
    EXPECT_EQ(got[0].reply.SourceAddress, "::1");
    EXPECT_EQ(got[0].reply.MessageType, 129);
    EXPECT_TRUE(got[0].roundTrip);
}

TEST(IcmpEchoes, ManyRequestsAreInFlightAtOnce)
{
    // Wine takes at most 256 requests at once.
    constexpr std::size_t kEach = 120;
    IcmpEchoes echoes;
    const Clock::time_point start = Clock::now();
    std::vector<std::uint16_t> sequences;
    for (std::size_t i = 0; i < kEach; ++i) {
        sequences.push_back(*echoes.Send(i, Answering(i)));
        sequences.push_back(*echoes.Send(kEach + i, Silent(i)));
    }
    EXPECT_EQ(std::set<std::uint16_t>(sequences.begin(), sequences.end()).size(), 2 * kEach);

    const std::vector<EchoOutcome> got = Collect(echoes, 2 * kEach);
    const Clock::duration took = Clock::now() - start;

    ASSERT_EQ(got.size(), 2 * kEach);
    std::set<std::size_t> entries;
    for (const EchoOutcome& outcome : got) {
        entries.insert(outcome.entry);
        const bool silent = outcome.entry >= kEach;
        const std::size_t i = outcome.entry % kEach;
        EXPECT_EQ(outcome.sequence, sequences[2 * i + (silent ? 1 : 0)]);
        EXPECT_EQ(outcome.failure, 0U);
        EXPECT_EQ(outcome.reply.Status, silent ? ReplyKind::TimedOut : ReplyKind::EchoReply)
            << outcome.entry;
    }
    EXPECT_EQ(entries.size(), 2 * kEach);
    // One after another the silent ones alone would take 450 s.
    EXPECT_LT(took, 2500ms);
}

// Refused requests (Wine has room for 256 at once) end as failures, never
// as answers.
TEST(IcmpEchoes, RequestsTheSystemRefusesEndAsFailures)
{
    constexpr std::size_t kSent = 300;
    IcmpEchoes echoes(300ms);
    for (std::size_t i = 0; i < kSent; ++i) {
        echoes.Send(i, Silent(i));
    }
    const std::vector<EchoOutcome> got = Collect(echoes, kSent);
    ASSERT_EQ(got.size(), kSent);
    for (const EchoOutcome& outcome : got) {
        if (outcome.failure == 0) {
            EXPECT_EQ(outcome.reply.Status, ReplyKind::TimedOut) << outcome.entry;
        } else {
            // The engine tells a want of room, to send again later, by it.
            EXPECT_EQ(outcome.failure, static_cast<unsigned long>(ERROR_NOT_ENOUGH_MEMORY));
        }
        EXPECT_FALSE(outcome.roundTrip);
    }
}

TEST(IcmpEchoes, WaitWakesForTheCallersHandleAndForCompletions)
{
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(event, nullptr);
    IcmpEchoes echoes(200ms);
    echoes.Send(0, Silent(0));
    const std::array<HANDLE, 1> handles{event};

    // Unsignalled: the request's completion ends the wait, not the timeout.
    const Clock::time_point start = Clock::now();
    std::optional<std::size_t> woke;
    while (!woke && echoes.Outstanding() > 0 && Clock::now() - start < 5s) {
        woke = echoes.Wait(handles, 5s);
    }
    EXPECT_FALSE(woke);
    EXPECT_LT(Clock::now() - start, 1s);
    EXPECT_EQ(echoes.TakeOutcomes().size(), 1U);

    SetEvent(event);
    EXPECT_EQ(echoes.Wait(handles, 5s), std::optional<std::size_t>(0));
    CloseHandle(event);
}

// A cycle that ends with requests out: their completions still come, into
// records that live until then, and report nothing.
TEST(IcmpEchoes, AbandonedRequestsReportNothingAndLeaveTheNextCycleAlone)
{
    IcmpEchoes echoes(40ms);
    for (std::size_t round = 0; round < 200; ++round) {
        for (std::size_t i = 0; i < 10; ++i) {
            echoes.Send(i, Answering(i));
            echoes.Send(10 + i, Silent(i));
        }
        // Some rounds end before any completion ran, some after a few.
        if (round % 3 != 0) {
            echoes.Wait({}, std::chrono::milliseconds(round % 7));
        }
        echoes.Abandon();
        EXPECT_TRUE(echoes.TakeOutcomes().empty());

        if (round % 2 == 0) {
            Drain(echoes);
            ASSERT_EQ(echoes.Outstanding(), 0U) << round;
            EXPECT_TRUE(echoes.TakeOutcomes().empty());
        }
        // The next cycle's request, sent while the last one's may be out.
        const std::uint16_t next = *echoes.Send(99, Answering(0));
        const std::vector<EchoOutcome> got = Collect(echoes, 2, 100ms);
        ASSERT_EQ(got.size(), 1U) << round;
        EXPECT_EQ(got[0].entry, 99U);
        EXPECT_EQ(got[0].sequence, next);
        EXPECT_EQ(got[0].reply.Status, ReplyKind::EchoReply);
        Drain(echoes);
        EXPECT_TRUE(echoes.TakeOutcomes().empty());
    }
}

// Gone with requests out: their completions run later, in alertable waits
// of the same thread, and must touch nothing of it; the next object, put in
// the same place, sees only its own outcomes.
TEST(IcmpEchoes, DestroyedWithRequestsOutstandingLeavesTheNextOneAlone)
{
    for (std::size_t round = 0; round < 200; ++round) {
        {
            IcmpEchoes gone(30ms);
            for (std::size_t i = 0; i < 10; ++i) {
                gone.Send(i, Answering(i));
                gone.Send(10 + i, Silent(i));
            }
            if (round % 2 == 0) {
                gone.Wait({}, std::chrono::milliseconds(round % 5));
            }
        }
        IcmpEchoes next(30ms);
        next.Send(99, Answering(0));
        // Long enough for every completion of the one before.
        const std::vector<EchoOutcome> got = Collect(next, 2, 120ms);
        ASSERT_EQ(got.size(), 1U) << round;
        EXPECT_EQ(got[0].entry, 99U);
        EXPECT_EQ(got[0].reply.Status, ReplyKind::EchoReply);
    }
}

} // namespace
} // namespace pelmora
