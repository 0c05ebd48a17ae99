#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace pelmora {

// Texts cross between the 8-bit core and the windows here, in the system's
// code page, never re-encoded on the way.
QString FromLocal8Bit(std::string_view text);
std::string ToLocal8Bit(const QString& text);

} // namespace pelmora
