// IcmpEchoes against the bare iphlpapi burst it is built on: the same
// bursts, each the median of three runs, side by side. Run it with
// tools/wine-netns.

#include <algorithm>
#include <array>
#include <cstdio>

#include "core/monitor/engine/windows/icmp_echoes.h"
#include "windows/echo_burst.h"

namespace pelmora {
namespace {

BurstResult ComponentBurst(const std::vector<in_addr>& targets, std::chrono::milliseconds budget)
{
    IcmpEchoes echoes(budget);
    BurstResult result;
    const auto start = std::chrono::steady_clock::now();
    for (std::size_t i = 0; i < targets.size(); ++i) {
        echoes.Send(i, targets[i]);
    }
    std::size_t done = 0;
    while (done < targets.size()) {
        echoes.Wait({}, std::chrono::seconds(5));
        for (const EchoOutcome& outcome : echoes.TakeOutcomes()) {
            ++done;
            if (outcome.failure != 0) {
                ++result.failed;
            } else if (outcome.reply.Status == ReplyKind::TimedOut) {
                ++result.timedOut;
            } else {
                ++result.answered;
            }
        }
    }
    result.took = std::chrono::steady_clock::now() - start;
    return result;
}

template <typename Burst> BurstResult Median(Burst burst)
{
    std::array<BurstResult, 3> runs{burst(), burst(), burst()};
    std::sort(runs.begin(), runs.end(),
              [](const BurstResult& a, const BurstResult& b) { return a.took < b.took; });
    return runs[1];
}

void Compare(const char* name, const std::vector<in_addr>& targets)
{
    const std::chrono::milliseconds budget(1500);
    const BurstResult bare = Median([&] { return BareBurst(targets, budget); });
    const BurstResult ours = Median([&] { return ComponentBurst(targets, budget); });
    std::printf("%-34s bare %5.2f s (under Wine)  IcmpEchoes %5.2f s (under Wine)  ratio %.2f\n",
                name, bare.took.count(), ours.took.count(), ours.took / bare.took);
    std::printf("%-34s answered/timed out/failed: bare %zu/%zu/%zu, IcmpEchoes %zu/%zu/%zu\n", "",
                bare.answered, bare.timedOut, bare.failed, ours.answered, ours.timedOut,
                ours.failed);
}

} // namespace
} // namespace pelmora

int main()
{
    pelmora::Compare("1,000 (500 answering, 500 silent)", pelmora::BurstTargets(500, 500));
    pelmora::Compare("10,000 answering", pelmora::BurstTargets(10000, 0));
}
