#include "core/shell/host_item_text.h"

#include <gtest/gtest.h>

namespace pelmora {
namespace {

using std::chrono::microseconds;

TEST(HostItemText, TargetThenTheRoundTripWhileItAnswers)
{
    HostEntry entry("http://10.0.0.7/", "10.0.0.1:3128");
    EXPECT_EQ(HostItemText(entry), "http://10.0.0.7/") << "no proxy, no time before an answer";
    entry.SetLastRoundTrip(microseconds(120));
    EXPECT_EQ(HostItemText(entry), "http://10.0.0.7/\t0.12 ms");
    entry.SetLastRoundTrip(microseconds(250'000));
    EXPECT_EQ(HostItemText(entry), "http://10.0.0.7/\t250 ms");
    entry.SetLastRoundTrip(std::nullopt);
    EXPECT_EQ(HostItemText(entry), "http://10.0.0.7/");
    // Bytes of the system's code page pass unchanged.
    EXPECT_EQ(HostItemText(HostEntry("\\\\R\xE4ume", "")), "\\\\R\xE4ume");
}

} // namespace
} // namespace pelmora
