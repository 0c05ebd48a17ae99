#include "core/monitor/report/time_of_day.h"

#include <cstdint>
#include <string_view>
#include <vector>

#include "core/base/char_class.h"

namespace pelmora {
namespace {

enum class Field : std::uint8_t { Literal, Hour24, Hour12, Minute, Second, Designator, Other };

struct Token {
    Field field = Field::Literal;
    bool zeroPad = true;
    std::string text;
};

void AddLiteral(std::vector<Token>& tokens, char c)
{
    if (tokens.empty() || tokens.back().field != Field::Literal) {
        tokens.push_back(Token{});
    }
    tokens.back().text += c;
}

bool IsFlag(char c)
{
    return c == '-' || c == '_' || c == '0' || c == '^' || c == '#';
}

// Splits a strftime format into the fields a time of day is made of. "%T",
// "%R" and "%r" are opened up; "%r" only at the top level, so a locale whose
// 12-hour format names itself cannot loop.
void Tokenize(std::string_view format, std::string_view amPmFormat, bool openAmPm,
              std::vector<Token>& tokens)
{
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%' || i + 1 == format.size()) {
            AddLiteral(tokens, format[i]);
            continue;
        }
        ++i;
        // Padding flags: "-" and "_" drop the leading zero, "0" asks for it.
        int pad = -1;
        for (; i < format.size() && IsFlag(format[i]); ++i) {
            pad = format[i] == '0' ? 1 : (format[i] == '-' || format[i] == '_') ? 0 : pad;
        }
        while (i < format.size() && IsAsciiDigit(format[i])) {
            ++i;
        }
        if (i < format.size() && (format[i] == 'E' || format[i] == 'O')) {
            ++i;
        }
        if (i == format.size()) {
            return;
        }
        const auto padded = [pad](bool byDefault) { return pad < 0 ? byDefault : pad == 1; };
        switch (format[i]) {
        case 'H': tokens.push_back({Field::Hour24, padded(true), {}}); break;
        case 'k': tokens.push_back({Field::Hour24, padded(false), {}}); break;
        case 'I': tokens.push_back({Field::Hour12, padded(true), {}}); break;
        case 'l': tokens.push_back({Field::Hour12, padded(false), {}}); break;
        case 'M': tokens.push_back({Field::Minute, true, {}}); break;
        case 'S': tokens.push_back({Field::Second, true, {}}); break;
        case 'p':
        case 'P': tokens.push_back({Field::Designator, true, {}}); break;
        case 'T': Tokenize("%H:%M:%S", {}, false, tokens); break;
        case 'R': Tokenize("%H:%M", {}, false, tokens); break;
        case 'r':
            if (openAmPm) {
                Tokenize(amPmFormat.empty() ? kDefaultAmPmTimeFormat : amPmFormat, {}, false,
                         tokens);
            } else {
                tokens.push_back({Field::Other, true, {}});
            }
            break;
        case '%': AddLiteral(tokens, '%'); break;
        default: tokens.push_back({Field::Other, true, {}}); break;
        }
    }
}

std::size_t FindField(const std::vector<Token>& tokens, std::size_t from, Field a, Field b)
{
    for (std::size_t i = from; i < tokens.size(); ++i) {
        if (tokens[i].field == a || tokens[i].field == b) {
            return i;
        }
    }
    return tokens.size();
}

std::string LiteralsBetween(const std::vector<Token>& tokens, std::size_t from, std::size_t to)
{
    std::string text;
    for (std::size_t i = from + 1; i < to; ++i) {
        if (tokens[i].field == Field::Literal) {
            text += tokens[i].text;
        }
    }
    return text;
}

void AppendTwoDigits(std::string& out, int value, bool zeroPad)
{
    if (value >= 10 || zeroPad) {
        out += static_cast<char>('0' + value / 10);
    }
    out += static_cast<char>('0' + value % 10);
}

} // namespace

std::string FormatTimeOfDay(const LocaleTimeTexts& locale, ClockTime time)
{
    std::vector<Token> tokens;
    Tokenize(locale.timeFormat, locale.timeFormatAmPm, true, tokens);
    std::size_t hour = FindField(tokens, 0, Field::Hour24, Field::Hour12);
    if (hour == tokens.size()) {
        tokens.clear();
        Tokenize(kDefaultTimeFormat, {}, false, tokens);
        hour = 0;
    }
    const std::size_t minute = FindField(tokens, hour + 1, Field::Minute, Field::Minute);
    const std::size_t second = FindField(tokens, minute, Field::Second, Field::Second);
    const bool haveMinute = minute < tokens.size();
    const bool haveSecond = second < tokens.size();

    const std::string hourSeparator = haveMinute ? LiteralsBetween(tokens, hour, minute) : ":";
    const std::string minuteSeparator =
        haveSecond ? LiteralsBetween(tokens, minute, second) : hourSeparator;
    // A unit mark such as the "초" of "%S초"; blanks before a designator are
    // not one.
    std::string secondMark;
    if (haveSecond && second + 1 < tokens.size() && tokens[second + 1].field == Field::Literal) {
        secondMark = tokens[second + 1].text;
        secondMark.erase(secondMark.find_last_not_of(' ') + 1);
    }

    const bool twelveHour = tokens[hour].field == Field::Hour12;
    int shownHour = time.hour;
    std::string designator;
    if (twelveHour) {
        shownHour = time.hour % 12 == 0 ? 12 : time.hour % 12;
        designator = time.hour < 12 ? locale.am : locale.pm;
    }
    const bool designatorFirst = FindField(tokens, 0, Field::Designator, Field::Designator) < hour;

    std::string out;
    if (!designator.empty() && designatorFirst) {
        out += designator + ' ';
    }
    AppendTwoDigits(out, shownHour, tokens[hour].zeroPad);
    out += hourSeparator;
    AppendTwoDigits(out, time.minute, true);
    out += minuteSeparator;
    AppendTwoDigits(out, time.second, true);
    out += secondMark;
    if (!designator.empty() && !designatorFirst) {
        out += ' ' + designator;
    }
    return out;
}

} // namespace pelmora
