#pragma once

#include <string>
#include <string_view>

namespace pelmora {

// The executable's file name without its folder, cut at its first full
// stop, every character after the first lower-cased: Pelmora, PELMORA.EXE
// and Pelmora.new.exe all give "Pelmora".
std::string ApplicationTitle(std::string_view executablePath);

} // namespace pelmora
