#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pelmora {

// What a locale says about writing a time of day: its time format in
// strftime's terms, the format that "%r" stands for, and its AM and PM
// designators (nl_langinfo T_FMT, T_FMT_AMPM, AM_STR, PM_STR on Linux; on
// Windows LOCALE_STIMEFORMAT turned into strftime's terms, LOCALE_S1159 and
// LOCALE_S2359).
struct LocaleTimeTexts {
    std::string timeFormat;
    std::string timeFormatAmPm;
    std::string am;
    std::string pm;
};

// What a locale without a time format of its own gets.
inline constexpr std::string_view kDefaultTimeFormat = "%H:%M:%S";
inline constexpr std::string_view kDefaultAmPmTimeFormat = "%I:%M:%S %p";

struct ClockTime {
    int hour = 0; // 0 to 23
    int minute = 0;
    int second = 0;
};

// The locale's long time form of `time`: the hour, a separator, two-digit
// minutes, a separator, two-digit seconds and any unit mark the locale writes
// after them; nothing of a date or a time zone. The separators are the
// locale's own. The hour has a leading zero only where the format asks for
// one. Where the locale's hour runs on a 12-hour clock, it runs 1 to 12 and
// the designator stands one blank before or after the time, on the side the
// format puts it.
std::string FormatTimeOfDay(const LocaleTimeTexts& locale, ClockTime time);

// The texts of the named locale ("de_DE.UTF-8" on Linux, "de-DE" on
// Windows); "" names the user's locale (from the environment on Linux, the
// user's settings on Windows). Empty when the locale is not installed.
std::optional<LocaleTimeTexts> LocaleTimeTextsOf(const char* localeName);

// The current local time of day in the user's locale.
std::string LocalTimeOfDay();

} // namespace pelmora
