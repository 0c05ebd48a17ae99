#pragma once

#include <string_view>

namespace pelmora {

// The language file section of a window. A further live copy of a window is
// named "<name>_<n>"; copies up to _99 read the first copy's section, so
// "frmAddHost_1" reads "frmAddHost" while "frmAddHost_100" reads a section of
// its own full name.
std::string_view FormSectionName(std::string_view windowName);

} // namespace pelmora
