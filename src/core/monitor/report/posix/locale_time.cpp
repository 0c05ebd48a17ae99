#include "core/monitor/report/time_of_day.h"

#include <langinfo.h>
#include <locale.h> // NOLINT(modernize-deprecated-headers): newlocale is POSIX

#include <ctime>

namespace pelmora {

std::optional<LocaleTimeTexts> LocaleTimeTextsOf(const char* localeName)
{
    const locale_t locale = ::newlocale(LC_TIME_MASK, localeName, nullptr);
    if (locale == nullptr) {
        return std::nullopt;
    }
    LocaleTimeTexts texts{::nl_langinfo_l(T_FMT, locale), ::nl_langinfo_l(T_FMT_AMPM, locale),
                          ::nl_langinfo_l(AM_STR, locale), ::nl_langinfo_l(PM_STR, locale)};
    ::freelocale(locale);
    return texts;
}

std::string LocalTimeOfDay()
{
    // The user's locale is read once; the program never changes it.
    static const LocaleTimeTexts texts = LocaleTimeTextsOf("").value_or(LocaleTimeTexts{
        std::string(kDefaultTimeFormat), std::string(kDefaultAmPmTimeFormat), "AM", "PM"});
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    return FormatTimeOfDay(texts, ClockTime{local.tm_hour, local.tm_min, local.tm_sec});
}

} // namespace pelmora
