#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

namespace pelmora {

// How long a host was away, in the two largest units that say it, each
// number followed by its unit's word: "12 s", "3 min 12 s", "2 h 5 min",
// "3 d 4 h". `unitText` gives the words by message key: UnitDays,
// UnitHours, UnitMinutes, UnitSeconds.
std::string OutageLength(std::chrono::seconds length,
                         const std::function<std::string(std::string_view)>& unitText);

} // namespace pelmora
