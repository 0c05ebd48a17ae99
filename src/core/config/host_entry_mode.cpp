#include "core/config/host_entry_mode.h"

#include <cstddef>

namespace pelmora {
namespace {

char AsciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithHttp(std::string_view line)
{
    constexpr std::string_view kHttp = "http";
    if (line.size() < kHttp.size()) {
        return false;
    }
    for (std::size_t i = 0; i < kHttp.size(); ++i) {
        if (AsciiLower(line[i]) != kHttp[i]) {
            return false;
        }
    }
    return true;
}

} // namespace

HostEntryMode EditModeOf(std::string_view line)
{
    if (StartsWithHttp(line)) {
        return HostEntryMode::EditHTTP;
    }
    if (line.starts_with("\\\\")) {
        return HostEntryMode::EditLAN;
    }
    return HostEntryMode::EditIP;
}

bool IsIpMode(HostEntryMode mode)
{
    return mode == HostEntryMode::AddIP || mode == HostEntryMode::EditIP;
}

bool IsHttpMode(HostEntryMode mode)
{
    return mode == HostEntryMode::AddHTTP || mode == HostEntryMode::EditHTTP;
}

} // namespace pelmora
