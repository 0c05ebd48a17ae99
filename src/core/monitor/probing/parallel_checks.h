#pragma once

#include <cstddef>

namespace pelmora {

// How many hosts the check worker probes at the same time unless told
// otherwise. Far more than a home or office list holds, so a cycle lasts
// about one probe's limit; 1 walks the list one host after another.
inline constexpr std::size_t kDefaultParallelChecks = 1000;

} // namespace pelmora
