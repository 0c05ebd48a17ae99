#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "check_hosts_harness.h"

namespace pelmora::test {
namespace {

using std::chrono::milliseconds;

const std::string kHost = "192.0.2.7";

FakeProber::Action Answers()
{
    return FakeProber::Echo(ReplyFrom(ReplyKind::EchoReply, kHost, 64));
}

FakeProber::Action Silent()
{
    return FakeProber::Echo(ReplyFrom(ReplyKind::TimedOut, "0.0.0.0", 0));
}

struct AttemptsCase {
    const char* what;
    int attempts;
    HostState before;
    // What each probe of the entry comes to, in turn; the last repeats.
    std::vector<bool> answers;
    HostState after;
    std::size_t probes;
};

// An Up entry is asked again within the cycle until it answers or the
// attempts are used up; a Down entry is asked once.
TEST(CheckHostsAttempts, FailedProbesInARowDecideDown)
{
    const std::vector<AttemptsCase> cases = {
        {"fails then answers, 1 attempt", 1, HostState::Up, {false, true}, HostState::Down, 1},
        {"fails then answers, 2 attempts", 2, HostState::Up, {false, true}, HostState::Up, 2},
        {"fails twice, 2 attempts", 2, HostState::Up, {false, false}, HostState::Down, 2},
        {"fails twice then answers, 3 attempts",
         3,
         HostState::Up,
         {false, false, true},
         HostState::Up,
         3},
        {"answers at once, 3 attempts", 3, HostState::Up, {true}, HostState::Up, 1},
        {"Down entry comes back on one answer", 3, HostState::Down, {true}, HostState::Up, 1},
        {"Down entry that fails is asked once", 3, HostState::Down, {false}, HostState::Down, 1},
        {"below 1 counts as 1", 0, HostState::Up, {false, true}, HostState::Down, 1},
    };
    for (const AttemptsCase& c : cases) {
        SCOPED_TRACE(c.what);
        WorkerHarness h;
        h.worker.SetAttempts(c.attempts);
        h.Add(kHost, "", c.before);
        std::vector<FakeProber::Action> turns;
        turns.reserve(c.answers.size());
        for (const bool answers : c.answers) {
            turns.push_back(answers ? Answers() : Silent());
        }
        h.prober.Script(kHost, FakeProber::InTurn(turns));

        h.RunCycle();

        EXPECT_EQ(h.hosts.At(0)->State(), c.after);
        EXPECT_EQ(h.prober.Calls(), std::vector<std::string>(c.probes, "echo " + kHost));
        const bool changed = c.before != c.after;
        EXPECT_EQ(h.sink.log.size(), changed ? 1U : 0U);
    }
}

// The entry being asked again holds back the hand-over of the ones after it,
// whose answers came first, so the log still reads in list order.
TEST(CheckHostsAttempts, AnotherAttemptKeepsTheListOrder)
{
    WorkerHarness h;
    h.worker.SetAttempts(2);
    h.Add(kHost, "", HostState::Up);
    h.prober.Script(kHost,
                    FakeProber::InTurn({Silent(), FakeProber::After(milliseconds(100), Silent())}));
    h.Add("192.0.2.8", "", HostState::Down);
    h.prober.Script("192.0.2.8",
                    FakeProber::Echo(ReplyFrom(ReplyKind::EchoReply, "192.0.2.8", 64)));

    h.RunCycle();

    EXPECT_EQ(h.sink.log,
              (std::vector<std::string>{"9:05:07. en:LoseHost 192.0.2.7 - en:CauseNoAnswer",
                                        "9:05:07. en:AppearHost 192.0.2.8"}));
    EXPECT_EQ(h.prober.Ended(), (std::vector<std::size_t>{0, 1, 0}));
}

} // namespace
} // namespace pelmora::test
