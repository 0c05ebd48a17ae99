#include "core/base/char_class.h"

namespace pelmora {

bool IsAsciiDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool IsBlankOrCr(char c)
{
    return IsBlank(c) || c == '\r';
}

bool IsLineSpace(char c)
{
    return IsBlankOrCr(c) || c == '\v' || c == '\f';
}

bool IsControlOrSpace(char c)
{
    return static_cast<unsigned char>(c) <= ' ';
}

std::string_view TrimStart(std::string_view text, bool (*drop)(char))
{
    while (!text.empty() && drop(text.front())) {
        text.remove_prefix(1);
    }
    return text;
}

std::string_view TrimEnd(std::string_view text, bool (*drop)(char))
{
    while (!text.empty() && drop(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string_view Trim(std::string_view text, bool (*drop)(char))
{
    return TrimStart(TrimEnd(text, drop), drop);
}

std::string_view TrimControlsAndSpaces(std::string_view text)
{
    return Trim(text, IsControlOrSpace);
}

} // namespace pelmora
