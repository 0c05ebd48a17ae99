#include "core/monitor/net/stop_signal.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace pelmora {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST(StopSignal, AWaitEndsAtItsLimitUntilRaisedThenAtOnceForEveryWaiter)
{
    const StopSignal stop;
    const auto before = Clock::now();
    EXPECT_FALSE(stop.WaitFor(50ms));
    EXPECT_GE(Clock::now() - before, 40ms);
    EXPECT_FALSE(stop.IsRaised());
}

TEST(StopSignal, ARaiseFromAnotherThreadWakesAWaitThatWouldLastLong)
{
    StopSignal stop;
    std::thread raiser([&stop] {
        std::this_thread::sleep_for(50ms);
        stop.Raise();
    });
    const auto before = Clock::now();
    EXPECT_TRUE(stop.WaitFor(std::chrono::milliseconds(-1)));
    EXPECT_LT(Clock::now() - before, 10s);
    raiser.join();
    // Raised stays raised: later waits, and a second raise, change nothing.
    stop.Raise();
    EXPECT_TRUE(stop.WaitFor(10s));
    EXPECT_TRUE(stop.IsRaised());
}

} // namespace
} // namespace pelmora
