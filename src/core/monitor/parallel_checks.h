#pragma once

#include <cstddef>

namespace pelmora {

// How many hosts of one cycle are checked at once when nothing says otherwise.
inline constexpr std::size_t kDefaultParallelChecks = 1000;

} // namespace pelmora
