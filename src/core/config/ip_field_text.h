#pragma once

#include <string>
#include <string_view>

namespace pelmora {

// The 15-character form of the IP field: every part of a dotted address
// padded to three digits with leading zeros ("192.168.1.1" gives
// "192.168.001.001"). The zeros go in at fixed places, so a text that is no
// dotted address of parts up to three digits long comes out distorted but
// never rejected.
std::string PadIpOctets(std::string_view text);

// The characters "0" to "9" and "." of a field's raw text, in their order;
// the field's blank marks and everything else drop out.
std::string KeepDigitsAndDots(std::string_view text);

} // namespace pelmora
