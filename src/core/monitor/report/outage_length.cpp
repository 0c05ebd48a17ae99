#include "core/monitor/report/outage_length.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace pelmora {

std::string OutageLength(std::chrono::seconds length,
                         const std::function<std::string(std::string_view)>& unitText)
{
    struct Unit {
        std::int64_t seconds;
        std::string_view key;
    };
    static constexpr std::array<Unit, 4> kUnits = {{
        {86400, "UnitDays"},
        {3600, "UnitHours"},
        {60, "UnitMinutes"},
        {1, "UnitSeconds"},
    }};
    std::int64_t left = std::max<std::int64_t>(length.count(), 0);
    std::size_t first = 0;
    while (first + 1 < kUnits.size() && left < kUnits[first].seconds) {
        ++first;
    }
    std::string text;
    for (std::size_t i = first; i < kUnits.size() && i < first + 2; ++i) {
        const std::int64_t count = left / kUnits[i].seconds;
        left %= kUnits[i].seconds;
        if (!text.empty()) {
            text += ' ';
        }
        text += std::to_string(count) + ' ' + unitText(kUnits[i].key);
    }
    return text;
}

} // namespace pelmora
