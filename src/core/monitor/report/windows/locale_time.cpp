#include "core/monitor/report/time_of_day.h"

#include <windows.h>

#include "core/base/windows/wide_text.h"
#include "core/monitor/report/time_picture.h"

namespace pelmora {
namespace {

std::optional<std::string> LocaleText(const wchar_t* locale, LCTYPE item)
{
    const int size = ::GetLocaleInfoEx(locale, item, nullptr, 0);
    if (size <= 0) {
        return std::nullopt;
    }
    std::wstring text(static_cast<std::size_t>(size), L'\0');
    if (::GetLocaleInfoEx(locale, item, text.data(), size) <= 0) {
        return std::nullopt;
    }
    text.resize(static_cast<std::size_t>(size - 1)); // without the terminating null
    return Utf8FromWide(text);
}

} // namespace

std::optional<LocaleTimeTexts> LocaleTimeTextsOf(const char* localeName)
{
    const std::wstring name = WideFromUtf8(localeName);
    const wchar_t* locale = name.empty() ? LOCALE_NAME_USER_DEFAULT : name.c_str();
    const auto format = LocaleText(locale, LOCALE_STIMEFORMAT);
    if (!format) {
        return std::nullopt;
    }
    // The picture has no "%r" of its own to open up.
    return LocaleTimeTexts{StrftimeFromTimePicture(*format),
                           {},
                           LocaleText(locale, LOCALE_S1159).value_or(""),
                           LocaleText(locale, LOCALE_S2359).value_or("")};
}

std::string LocalTimeOfDay()
{
    // The user's locale is read once: a change in the control panel counts
    // from the next start, as the event log's earlier lines keep theirs.
    static const LocaleTimeTexts texts = LocaleTimeTextsOf("").value_or(LocaleTimeTexts{
        std::string(kDefaultTimeFormat), std::string(kDefaultAmPmTimeFormat), "AM", "PM"});
    SYSTEMTIME local{};
    ::GetLocalTime(&local);
    return FormatTimeOfDay(texts, ClockTime{local.wHour, local.wMinute, local.wSecond});
}

} // namespace pelmora
