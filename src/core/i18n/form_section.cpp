#include "core/i18n/form_section.h"

#include <cstddef>

#include "core/base/char_class.h"

namespace pelmora {
namespace {

} // namespace

std::string_view FormSectionName(std::string_view windowName)
{
    const std::size_t size = windowName.size();
    if (size >= 2 && IsAsciiDigit(windowName[size - 1])) {
        if (windowName[size - 2] == '_') {
            return windowName.substr(0, size - 2);
        }
        if (size >= 3 && IsAsciiDigit(windowName[size - 2]) && windowName[size - 3] == '_') {
            return windowName.substr(0, size - 3);
        }
    }
    return windowName;
}

} // namespace pelmora
