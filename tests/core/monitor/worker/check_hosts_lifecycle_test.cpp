#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <utility>

#include "check_hosts_harness.h"

namespace pelmora::test {
namespace {

using namespace std::chrono_literals;

FakeProber::Action PassGate(Gate& gate)
{
    return [&gate, timedOut = FakeProber::Echo({})](const ProbeJob& job) {
        gate.Pass();
        return timedOut(job);
    };
}

TEST(CheckHostsLifecycle, CreatedAsleepAndDroppingAWakeWhileRunning)
{
    WorkerHarness h;
    EXPECT_TRUE(h.worker.IsAsleep());
    Gate gate;
    h.Add("hostA", "", HostState::Down);
    h.prober.Script("hostA", PassGate(gate));

    h.worker.Wake();
    ASSERT_TRUE(gate.WaitReached(10s));
    EXPECT_FALSE(h.worker.IsAsleep());
    h.worker.Wake();
    h.worker.Wake();
    gate.Open();
    h.handOver.ServeUntil([&h] { return h.worker.IsAsleep(); });

    // A remembered wake would start the next cycle at once.
    std::this_thread::sleep_for(100ms);
    EXPECT_TRUE(h.worker.IsAsleep());
    EXPECT_EQ(gate.Passes(), 1);

    h.RunCycle();
    EXPECT_EQ(gate.Passes(), 2);
}

// The console serves the hand-overs itself: a failure of the cycle on the
// worker's side reaches it with its message, and the next cycle runs.
TEST(CheckHostsLifecycle, AFailedCycleReachesTheServingThreadAndTheWorkerGoesOn)
{
    std::atomic<int> probes{0};
    WorkerHarness h([&probes](const ProbeOutcome&) {
        if (probes++ == 0) {
            throw std::runtime_error("trace failed");
        }
    });
    h.Add("hostA", "", HostState::Down);
    h.prober.Script("hostA", FakeProber::Echo(ReplyFrom(ReplyKind::EchoReply, "192.0.2.9", 64)));

    h.worker.Wake();
    try {
        h.handOver.ServeUntil([&h] { return h.worker.IsAsleep(); });
        ADD_FAILURE() << "the failure was swallowed";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "trace failed");
    }
    h.handOver.ServeUntil([&h] { return h.worker.IsAsleep(); });
    EXPECT_TRUE(h.sink.reports.empty()) << "the failed cycle reports nothing";

    h.RunCycle();
    EXPECT_EQ(probes, 2);
    EXPECT_EQ(h.sink.reports.size(), 1U);
}

TEST(CheckHostsLifecycle, AFailedStepReachesTheServingThreadAndTheCycleGoesOn)
{
    WorkerHarness h;
    bool thrown = false;
    h.sink.onLogLine = [&thrown] {
        if (!std::exchange(thrown, true)) {
            throw std::runtime_error("log failed");
        }
    };
    h.Add("hostA", "", HostState::Down);
    h.prober.Script("hostA", FakeProber::Echo(ReplyFrom(ReplyKind::EchoReply, "192.0.2.9", 64)));
    h.Add("hostB", "", HostState::Down);
    h.prober.Script("hostB", FakeProber::Echo(ReplyFrom(ReplyKind::EchoReply, "192.0.2.8", 64)));

    h.worker.Wake();
    try {
        h.handOver.ServeUntil([&h] { return h.worker.IsAsleep(); });
        ADD_FAILURE() << "the failure was swallowed";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "log failed");
    }
    h.handOver.ServeUntil([&h] { return h.worker.IsAsleep(); });
    EXPECT_EQ(h.sink.log.size(), 2U);
    EXPECT_EQ(h.sink.reports.size(), 1U) << "the rest of the cycle ran";
}

TEST(CheckHostsLifecycle, HoldWaitsForTheRunningCycleWhileServingItsHandOvers)
{
    WorkerHarness h;
    Gate gate;
    h.Add("hostA", "", HostState::Down);
    h.prober.Script("hostA", FakeProber::Echo(ReplyFrom(ReplyKind::EchoReply, "192.0.2.9", 64)));
    h.Add("hostB", "", HostState::Down);
    h.prober.Script("hostB", PassGate(gate));

    std::atomic<bool> opened{false};
    // One after another, hostB is reached only after hostA's change has been
    // served, which only the hold itself can do here.
    h.worker.SetParallelLimit(1);
    h.worker.Wake();
    std::thread opener([&] {
        if (gate.WaitReached(10s)) {
            std::this_thread::sleep_for(50ms);
            opened = true;
            gate.Open();
        }
    });
    h.worker.Hold();
    opener.join();
    EXPECT_TRUE(opened);
    EXPECT_TRUE(h.worker.IsAsleep());
    EXPECT_EQ(h.sink.log, std::vector<std::string>{"9:05:07. en:AppearHost hostA"});
    EXPECT_EQ(h.sink.reports.size(), 1U);

    h.worker.Wake();
    EXPECT_TRUE(h.worker.IsAsleep()) << "a held worker started a cycle";
    h.worker.Release();
    EXPECT_TRUE(h.worker.IsAsleep()) << "the release started a cycle";
    h.RunCycle();
    EXPECT_EQ(gate.Passes(), 2);
}

TEST(CheckHostsLifecycle, StopEndsAWaitingProbeAtOnce)
{
    std::atomic<int> outcomes{0};
    WorkerHarness h([&outcomes](const ProbeOutcome&) { ++outcomes; });
    Gate reached;
    reached.Open();
    h.Add("hostA", "", HostState::Up);
    h.prober.Script("hostA", [&reached, never = FakeProber::Never()](const ProbeJob& job) {
        reached.Pass();
        return never(job);
    });
    h.worker.Wake();
    ASSERT_TRUE(reached.WaitReached(10s));

    const auto start = std::chrono::steady_clock::now();
    h.worker.Stop();
    // The probe alone would never have ended.
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
    // Being stopped is no outcome: the entry keeps its state, nothing is reported.
    EXPECT_EQ(outcomes, 0);
    EXPECT_EQ(h.hosts.At(0)->State(), HostState::Up);
    EXPECT_EQ(h.handOver.ServePending(), 0U);
    EXPECT_TRUE(h.sink.log.empty());
    EXPECT_TRUE(h.sink.reports.empty());
}

TEST(CheckHostsLifecycle, StopAbandonsAPendingHandOver)
{
    Gate probed;
    probed.Open();
    WorkerHarness h([&probed](const ProbeOutcome&) { probed.Pass(); });
    h.Add("hostA", "", HostState::Down);
    h.prober.Script("hostA", FakeProber::Echo(ReplyFrom(ReplyKind::EchoReply, "192.0.2.9", 64)));
    h.worker.Wake();
    ASSERT_TRUE(probed.WaitReached(10s));
    // Nobody serves: the worker now waits for its change step.
    std::this_thread::sleep_for(20ms);

    const auto start = std::chrono::steady_clock::now();
    h.worker.Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
    EXPECT_EQ(h.handOver.ServePending(), 0U);
    EXPECT_TRUE(h.sink.log.empty());
    EXPECT_EQ(h.hosts.At(0)->State(), HostState::Down);
    h.worker.Wake();
    EXPECT_TRUE(h.worker.IsAsleep());
}

} // namespace
} // namespace pelmora::test
