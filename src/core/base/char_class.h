#pragma once

#include <string_view>

namespace pelmora {

// Classes of single bytes of the system's code page. Bytes above 0x7F
// belong to none of them, whatever the code page makes of them.

// '0' to '9'.
bool IsAsciiDigit(char c);
// A blank: space or tab.
bool IsBlank(char c);
// A blank or a CR, the end of a line read from a file with CR LF breaks.
bool IsBlankOrCr(char c);
// White space that does not end a line: blank, CR, vertical tab, form feed.
bool IsLineSpace(char c);
// Code 32 or less: the space and every control character.
bool IsControlOrSpace(char c);

// The text without the characters that `drop` names at its start, at its
// end, or at both.
std::string_view TrimStart(std::string_view text, bool (*drop)(char));
std::string_view TrimEnd(std::string_view text, bool (*drop)(char));
std::string_view Trim(std::string_view text, bool (*drop)(char));

// The text without the characters of codes 32 and below at either end.
std::string_view TrimControlsAndSpaces(std::string_view text);

} // namespace pelmora
