#include "core/shell/host_item_text.h"

#include "core/monitor/report/round_trip_text.h"

namespace pelmora {

std::string HostItemText(const HostEntry& entry)
{
    std::string text = entry.Target();
    if (const auto roundTrip = entry.LastRoundTrip()) {
        text += '\t' + RoundTripMilliseconds(*roundTrip) + " ms";
    }
    return text;
}

} // namespace pelmora
