#include "core/monitor/hosts/host_list.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace pelmora {
namespace {

class RecordingObserver : public HostListObserver {
public:
    void HostListReset() override { events.emplace_back("reset"); }
    void HostAppended(std::size_t index) override
    {
        events.push_back("append " + std::to_string(index));
    }
    void HostStateChanged(std::size_t index) override
    {
        events.push_back("state " + std::to_string(index));
    }
    void HostRoundTripChanged(std::size_t index) override
    {
        events.push_back("round trip " + std::to_string(index));
    }
    std::vector<std::string> events;
};

TEST(HostList, EntriesAreBornDownAndKeepOrderAndDuplicates)
{
    HostList list;
    RecordingObserver observer;
    list.SetObserver(&observer);
    list.Append("a", "");
    list.Append("a", "p:1");
    ASSERT_EQ(list.Count(), 2U);
    EXPECT_EQ(list.At(0)->State(), HostState::Down);
    EXPECT_EQ(list.At(1)->Proxy(), "p:1");
    EXPECT_EQ(list.At(2), nullptr);

    list.SetState(1, HostState::Up);
    list.SetState(7, HostState::Up); // a vanished entry is ignored
    EXPECT_EQ(list.At(0)->State(), HostState::Down);
    EXPECT_EQ(list.At(1)->State(), HostState::Up);

    list.SetAllDown();
    EXPECT_EQ(list.At(1)->State(), HostState::Down);
    list.Clear();
    EXPECT_EQ(list.Count(), 0U);
    EXPECT_EQ(observer.events, (std::vector<std::string>{"append 0", "append 1", "state 1",
                                                         "state 0", "state 1", "reset"}));
}

// The view redraws an entry only when its round trip changed; stopping
// forgets round trips and when hosts went, as nothing of them holds then.
TEST(HostList, RoundTripTellsOnlyChangesAndAllDownForgetsIt)
{
    using std::chrono::microseconds;
    HostList list;
    list.Append("a", "");
    RecordingObserver observer;
    list.SetObserver(&observer);

    list.SetLastRoundTrip(0, microseconds(210));
    list.SetLastRoundTrip(0, microseconds(210));
    list.SetLastRoundTrip(0, microseconds(180));
    list.SetLastRoundTrip(3, microseconds(1)); // a vanished entry is ignored
    EXPECT_EQ(list.At(0)->LastRoundTrip(), microseconds(180));
    list.SetDownSince(0, std::chrono::steady_clock::time_point(std::chrono::seconds(5)));

    list.SetAllDown();
    EXPECT_EQ(list.At(0)->LastRoundTrip(), std::nullopt);
    EXPECT_EQ(list.At(0)->DownSince(), std::nullopt);
    EXPECT_EQ(observer.events, (std::vector<std::string>{"round trip 0", "round trip 0", "state 0",
                                                         "round trip 0"}));
}

} // namespace
} // namespace pelmora
