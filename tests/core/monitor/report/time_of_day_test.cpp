#include <gtest/gtest.h>

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

#include "core/monitor/report/time_of_day.h"

namespace pelmora::test {
namespace {

struct FormatCase {
    const char* what;
    LocaleTimeTexts locale;
    ClockTime time;
    std::string expected;
};

TEST(TimeOfDay, FormatFollowsTheLocalesLongTimeForm)
{
    // The format texts are those the C library's locale data holds.
    const LocaleTimeTexts posix{"%H:%M:%S", "%I:%M:%S %p", "AM", "PM"};
    const LocaleTimeTexts enUs{"%r", "%I:%M:%S %p", "AM", "PM"};
    const LocaleTimeTexts deDe{"%T", "", "", ""};
    const LocaleTimeTexts fiFi{"%H.%M.%S", "", "", ""};
    const LocaleTimeTexts zhCn{"%r", "%p %I时%M分%S秒", "上午", "下午"};
    const LocaleTimeTexts koKr{"%H시 %M분 %S초", "%p %I시 %M분 %S초", "오전", "오후"};

    const std::vector<FormatCase> cases = {
        {"24-hour clock", posix, {21, 5, 7}, "21:05:07"},
        {"24-hour clock, early", posix, {9, 5, 7}, "09:05:07"},
        {"12-hour clock after noon", enUs, {21, 5, 7}, "09:05:07 PM"},
        {"12-hour clock at midnight", enUs, {0, 0, 0}, "12:00:00 AM"},
        {"12-hour clock at noon", enUs, {12, 30, 59}, "12:30:59 PM"},
        {"%T", deDe, {9, 5, 7}, "09:05:07"},
        {"own separator", fiFi, {21, 5, 7}, "21.05.07"},
        {"designator before the time", zhCn, {15, 4, 3}, "下午 03时04分03秒"},
        {"unit marks", koKr, {21, 5, 7}, "21시 05분 07초"},
        {"hour without leading zero", {"%l:%M:%S %P", "", "am", "pm"}, {9, 5, 7}, "9:05:07 am"},
        {"24-hour clock without leading zero", {"%k:%M:%S", "", "", ""}, {9, 5, 7}, "9:05:07"},
        {"padding flag drops the zero", {"%-I:%M:%S %p", "", "AM", "PM"}, {21, 5, 7}, "9:05:07 PM"},
        {"12-hour clock without designators", {"%I:%M:%S", "", "", ""}, {21, 5, 7}, "09:05:07"},
        {"no zone and no date", {"%a %d.%m. %H:%M:%S %Z", "", "", ""}, {21, 5, 7}, "21:05:07"},
        {"seconds always shown", {"%R", "", "", ""}, {21, 5, 7}, "21:05:07"},
        {"format without an hour", {"", "", "", ""}, {21, 5, 7}, "21:05:07"},
    };
    for (const FormatCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(FormatTimeOfDay(c.locale, c.time), c.expected);
    }
}

} // namespace
} // namespace pelmora::test
