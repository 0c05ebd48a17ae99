#pragma once

#include <string>
#include <string_view>

namespace pelmora {

// A Windows time picture (LOCALE_STIMEFORMAT: "h:mm:ss tt", "HH:mm:ss",
// "HH' h 'mm") in strftime's terms, which FormatTimeOfDay reads: "h" and
// "hh" the 12-hour clock without and with a leading zero, "H" and "HH" the
// 24-hour clock likewise, "m"/"mm" minutes, "s"/"ss" seconds, "t"/"tt" the
// designator; text in single quotes ("''" a quote) and any other character
// stand as they are.
std::string StrftimeFromTimePicture(std::string_view picture);

} // namespace pelmora
