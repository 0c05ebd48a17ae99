#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "core/monitor/worker/hand_over_queue.h"

namespace pelmora::test {
namespace {

using namespace std::chrono_literals;

TEST(HandOverQueue, StepRunsOnTheServingThreadWhileTheCallerWaits)
{
    HandOverQueue queue;
    std::thread::id ranOn;
    std::atomic<bool> returned{false};
    std::atomic<bool> ran{false};
    std::thread worker([&] {
        ran = queue.Synchronize([&] { ranOn = std::this_thread::get_id(); });
        returned = true;
        queue.Notify();
    });
    queue.ServeUntil([&] { return returned.load(); });
    worker.join();
    EXPECT_TRUE(ran);
    EXPECT_EQ(ranOn, std::this_thread::get_id());
}

TEST(HandOverQueue, AStepThatThrowsStillReleasesItsCaller)
{
    HandOverQueue queue;
    std::atomic<bool> ran{false};
    std::thread worker(
        [&] { ran = queue.Synchronize([] { throw std::runtime_error("step failed"); }); });
    EXPECT_THROW(queue.ServeUntil([] { return false; }), std::runtime_error);
    worker.join();
    EXPECT_TRUE(ran);
}

TEST(HandOverQueue, CloseAbandonsThePendingStepAndEveryLaterOne)
{
    HandOverQueue queue;
    std::atomic<bool> stepRan{false};
    std::atomic<int> result{-1};
    std::thread worker([&] { result = queue.Synchronize([&] { stepRan = true; }) ? 1 : 0; });
    std::this_thread::sleep_for(20ms);
    queue.Close();
    worker.join();
    EXPECT_EQ(result, 0);
    EXPECT_EQ(queue.ServePending(), 0U);
    EXPECT_FALSE(queue.Synchronize([&] { stepRan = true; }));
    EXPECT_FALSE(stepRan);
}

} // namespace
} // namespace pelmora::test
