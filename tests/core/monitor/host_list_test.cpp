#include "core/monitor/host_list.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace pelmora
