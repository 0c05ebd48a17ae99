#include <gtest/gtest.h>

#include <cstddef>
#include <ostream>
#include <string>

#include "core/monitor/report/time_of_day.h"

namespace pelmora::test {
namespace {

struct InstalledCase {
    const char* locale;
    std::string evening;
    std::string morning;
};

void PrintTo(const InstalledCase& c, std::ostream* out)
{
    *out << c.locale;
}

class TimeOfDayInstalled : public ::testing::TestWithParam<InstalledCase> {};

TEST_P(TimeOfDayInstalled, FormatsWithTheLocalesOwnTexts)
{
    const InstalledCase& c = GetParam();
    const auto texts = LocaleTimeTextsOf(c.locale);
    if (!texts) {
        GTEST_SKIP() << "locale " << c.locale << " is not installed here";
    }
    EXPECT_EQ(FormatTimeOfDay(*texts, {21, 5, 7}), c.evening);
    EXPECT_EQ(FormatTimeOfDay(*texts, {9, 5, 7}), c.morning);
}

INSTANTIATE_TEST_SUITE_P(Locales, TimeOfDayInstalled,
                         ::testing::Values(InstalledCase{"C", "21:05:07", "09:05:07"},
                                           InstalledCase{"en_US.UTF-8", "09:05:07 PM",
                                                         "09:05:07 AM"},
                                           InstalledCase{"de_DE.UTF-8", "21:05:07", "09:05:07"}),
                         [](const ::testing::TestParamInfo<InstalledCase>& test) {
                             std::string name = test.param.locale;
                             for (char& ch : name) {
                                 ch = (ch == '.' || ch == '-') ? '_' : ch;
                             }
                             return name;
                         });

TEST(TimeOfDay, LocalTimeUsesTheUsersLocale)
{
    // The tests run with LC_ALL=C: "HH:MM:SS".
    const std::string now = LocalTimeOfDay();
    ASSERT_EQ(now.size(), 8U) << now;
    for (std::size_t i = 0; i < now.size(); ++i) {
        EXPECT_TRUE(i % 3 == 2 ? now[i] == ':' : (now[i] >= '0' && now[i] <= '9')) << now;
    }
}

} // namespace
} // namespace pelmora::test
