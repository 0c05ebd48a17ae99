#pragma once

#include <windows.h>

#include <string>

namespace pelmora {

// The system's own text for a GetLastError code, in UTF-8 and without the
// line break it ends with ("The system cannot find the path specified.").
std::string SystemErrorText(DWORD error);

} // namespace pelmora
