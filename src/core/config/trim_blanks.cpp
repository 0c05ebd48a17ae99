#include "core/config/trim_blanks.h"

namespace pelmora {
namespace {

bool IsBlank(char c)
{
    return static_cast<unsigned char>(c) <= ' ';
}

} // namespace

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

} // namespace pelmora
