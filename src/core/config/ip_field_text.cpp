#include "core/config/ip_field_text.h"

#include <cstddef>

#include "core/base/char_class.h"

namespace pelmora {
namespace {

// Inserts zeros at `at` (counted from 0) until `text` is `length` long.
void PadAt(std::string& text, std::size_t at, std::size_t length)
{
    if (text.size() < length) {
        text.insert(at, length - text.size(), '0');
    }
}

} // namespace

std::string PadIpOctets(std::string_view text)
{
    std::string padded;
    std::string_view rest = text;
    for (std::size_t part = 0; part < 3; ++part) {
        const std::size_t dot = rest.find('.');
        if (dot != std::string_view::npos) {
            padded.append(rest.substr(0, dot + 1));
            rest.remove_prefix(dot + 1);
        }
        PadAt(padded, 4 * part, 4 * part + 4);
    }
    padded.append(rest);
    PadAt(padded, 12, 15);
    return padded;
}

std::string KeepDigitsAndDots(std::string_view text)
{
    std::string kept;
    for (const char c : text) {
        if (IsAsciiDigit(c) || c == '.') {
            kept.push_back(c);
        }
    }
    return kept;
}

} // namespace pelmora
