#include "core/monitor/report/round_trip_text.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

namespace pelmora {
namespace {

TEST(RoundTripText, DecimalsShrinkAsTheTimeGrows)
{
    using std::chrono::microseconds;
    const struct {
        long long us;
        const char* expected;
    } cases[] = {
        {0, "0.00"},    {6, "0.01"},     {214, "0.21"},     {7044, "7.04"},
        {9994, "9.99"}, {9996, "10.0"},  {12345, "12.3"},   {99949, "99.9"},
        {99950, "100"}, {250400, "250"}, {3000000, "3000"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RoundTripMilliseconds(microseconds(c.us)), c.expected) << c.us << " us";
    }
}

} // namespace
} // namespace pelmora
