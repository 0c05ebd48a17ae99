// How fast iphlpapi itself gets through a burst of echo requests, all sent at
// once: the yardstick for IcmpEchoes. Run it with tools/wine-netns.

#include <cstdio>

#include "windows/echo_burst.h"

int main()
{
    using pelmora::BareBurst;
    using pelmora::BurstResult;
    using pelmora::BurstTargets;
    const std::chrono::milliseconds budget(1500);
    const BurstResult mixed = BareBurst(BurstTargets(500, 500), budget);
    const BurstResult answering = BareBurst(BurstTargets(10000, 0), budget);
    for (const auto& [name, result] : {std::pair{"1,000 (500 answering, 500 silent)", mixed},
                                       std::pair{"10,000 answering", answering}}) {
        std::printf("%-34s %6.2f s (under Wine)  answered %zu, timed out %zu, failed %zu\n", name,
                    result.took.count(), result.answered, result.timedOut, result.failed);
    }
}
