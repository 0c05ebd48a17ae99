#pragma once

#include <string_view>

namespace pelmora {

// The text without the characters of codes 32 and below at either end.
std::string_view TrimBlanks(std::string_view text);

} // namespace pelmora
