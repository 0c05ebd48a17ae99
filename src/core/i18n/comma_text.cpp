#include "core/i18n/comma_text.h"

#include <cstddef>

namespace pelmora {
namespace {

constexpr char kQuote = '"';
constexpr char kDelimiter = ',';

// Blanks and every control character, as bytes: letters of any 8-bit code
// page, UTF-8 included, lie above them.
bool IsSeparatorByte(char c)
{
    return static_cast<unsigned char>(c) <= static_cast<unsigned char>(' ');
}

std::size_t SkipSeparators(std::string_view text, std::size_t at)
{
    while (at < text.size() && IsSeparatorByte(text[at])) {
        ++at;
    }
    return at;
}

// The quoted item starting at text[at] (the opening mark); `at` ends after
// its closing mark, or at the end of the text when none closes it.
std::string QuotedItem(std::string_view text, std::size_t& at)
{
    std::string item;
    ++at;
    while (at < text.size()) {
        if (text[at] != kQuote) {
            item += text[at++];
        } else if (at + 1 < text.size() && text[at + 1] == kQuote) {
            item += kQuote;
            at += 2;
        } else {
            ++at;
            break;
        }
    }
    return item;
}

} // namespace

std::vector<std::string> SplitCommaText(std::string_view text)
{
    std::vector<std::string> items;
    std::size_t at = SkipSeparators(text, 0);
    while (at < text.size()) {
        if (text[at] == kQuote) {
            items.push_back(QuotedItem(text, at));
        } else {
            const std::size_t start = at;
            while (at < text.size() && !IsSeparatorByte(text[at]) && text[at] != kDelimiter) {
                ++at;
            }
            items.emplace_back(text.substr(start, at - start));
        }
        at = SkipSeparators(text, at);
        if (at < text.size() && text[at] == kDelimiter) {
            ++at;
            if (at == text.size()) {
                items.emplace_back();
            }
            at = SkipSeparators(text, at);
        }
    }
    return items;
}

} // namespace pelmora
