#pragma once

#include <cstdint>
#include <string_view>

namespace pelmora {

// What the host entry dialog is asked for: a new host of one kind, or a
// change to an existing line.
enum class HostEntryMode : std::uint8_t { AddIP, AddHTTP, AddLAN, EditIP, EditHTTP, EditLAN };

// The mode in which Edit opens a line: a web address when it starts with
// "http" in any letter case, a LAN name when it starts with two backslashes,
// an IP address otherwise ("//" included).
HostEntryMode EditModeOf(std::string_view line);

bool IsIpMode(HostEntryMode mode);
bool IsHttpMode(HostEntryMode mode);

} // namespace pelmora
