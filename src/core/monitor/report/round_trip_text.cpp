#include "core/monitor/report/round_trip_text.h"

#include <cstdio>

namespace pelmora {

std::string RoundTripMilliseconds(std::chrono::microseconds roundTrip)
{
    const double ms = static_cast<double>(roundTrip.count()) / 1000.0;
    // Compared after rounding, so 9.996 ms reads "10.0", not "10.00".
    int decimals = 2;
    if (ms >= 99.95) {
        decimals = 0;
    } else if (ms >= 9.995) {
        decimals = 1;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, ms);
    return text;
}

} // namespace pelmora
