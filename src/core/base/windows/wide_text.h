#pragma once

#include <string>
#include <string_view>

namespace pelmora {

// UTF-8, the core's texts, and UTF-16, what the ...W functions take. An
// invalid sequence becomes U+FFFD rather than ending the text.
std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);

} // namespace pelmora
