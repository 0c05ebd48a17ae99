#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "core/monitor/report/time_of_day.h"

namespace pelmora {
namespace {

TEST(TimeOfDayWindows, InstalledLocalesGiveTheirOwnForm)
{
    const struct {
        const char* locale;
        std::string evening;
        std::string morning;
    } cases[] = {
        {"en-US", "9:05:07 PM", "9:05:07 AM"},
        {"de-DE", "21:05:07", "09:05:07"},
        {"fi-FI", "21.05.07", "9.05.07"},
    };
    for (const auto& c : cases) {
        const auto texts = LocaleTimeTextsOf(c.locale);
        ASSERT_TRUE(texts.has_value()) << c.locale;
        EXPECT_EQ(FormatTimeOfDay(*texts, {21, 5, 7}), c.evening) << c.locale;
        EXPECT_EQ(FormatTimeOfDay(*texts, {9, 5, 7}), c.morning) << c.locale;
    }
    EXPECT_FALSE(LocaleTimeTextsOf("xx-NOWHERE").has_value());
}

TEST(TimeOfDayWindows, LocalTimeHasTheUsersHoursMinutesAndSeconds)
{
    const auto user = LocaleTimeTextsOf("");
    ASSERT_TRUE(user.has_value());
    const std::string now = LocalTimeOfDay();
    // Whatever the user's locale: two-digit minutes and seconds after the
    // hour, and no more than a designator besides.
    std::size_t digits = 0;
    for (const char c : now) {
        digits += std::isdigit(static_cast<unsigned char>(c)) != 0 ? 1U : 0U;
    }
    EXPECT_TRUE(digits == 5 || digits == 6) << now;
}

} // namespace
} // namespace pelmora
