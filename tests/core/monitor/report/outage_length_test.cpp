#include "core/monitor/report/outage_length.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

namespace pelmora {
namespace {

TEST(OutageLength, TheTwoLargestUnitsThatSayIt)
{
    const auto unit = [](std::string_view key) { return "<" + std::string(key) + ">"; };
    const struct {
        long long seconds;
        const char* expected;
    } cases[] = {
        {0, "0 <UnitSeconds>"},
        {59, "59 <UnitSeconds>"},
        {60, "1 <UnitMinutes> 0 <UnitSeconds>"},
        {192, "3 <UnitMinutes> 12 <UnitSeconds>"},
        {3599, "59 <UnitMinutes> 59 <UnitSeconds>"},
        {3600LL + 5LL * 60 + 59, "1 <UnitHours> 5 <UnitMinutes>"},
        {86399, "23 <UnitHours> 59 <UnitMinutes>"},
        {3LL * 86400 + 4LL * 3600 + 59, "3 <UnitDays> 4 <UnitHours>"},
        {400LL * 86400, "400 <UnitDays> 0 <UnitHours>"},
        // A clock that went back cannot make an outage negative.
        {-5, "0 <UnitSeconds>"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(OutageLength(std::chrono::seconds(c.seconds), unit), c.expected) << c.seconds;
    }
}

} // namespace
} // namespace pelmora
