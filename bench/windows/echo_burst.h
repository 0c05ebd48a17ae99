#pragma once

#include <winsock2.h>

#include <chrono>
#include <cstddef>
#include <vector>

namespace pelmora {

// The bursts both echo benchmarks send: `answering` requests to loopback
// addresses (127.0.x.y) and `silent` ones to 192.0.2.1 to 192.0.2.126, which
// tools/wine-netns routes to nowhere.
std::vector<in_addr> BurstTargets(std::size_t answering, std::size_t silent);

// How a burst went: how long until every completion had run, and how the
// requests ended.
struct BurstResult {
    std::chrono::duration<double> took{};
    std::size_t answered = 0;
    std::size_t timedOut = 0;
    std::size_t failed = 0;
};

// The yardstick: every request sent at once with IcmpSendEcho2 and an APC
// of a few lines, then alertable sleeps until all have completed.
BurstResult BareBurst(const std::vector<in_addr>& targets, std::chrono::milliseconds budget);

} // namespace pelmora
