#pragma once

#include <chrono>
#include <string>

namespace pelmora {

// A round trip in milliseconds, as a number with as many decimals as tell
// something at its size: "0.21" and "7.04", "12.3", "250". A point, not the
// locale's comma, since it stands beside a host's address.
std::string RoundTripMilliseconds(std::chrono::microseconds roundTrip);

} // namespace pelmora
