#include "core/monitor/net/ipv6_literal.h"

#include <array>
#include <cstring>

namespace pelmora {

bool LooksLikeIpv6(std::string_view text)
{
    return text.find_first_of(":[]%") != std::string_view::npos;
}

std::optional<in6_addr> ParseIpv6(std::string_view text)
{
    // inet_pton wants a terminated text; the longest valid one has 45 characters.
    std::array<char, INET6_ADDRSTRLEN + 1> terminated{};
    if (text.size() >= terminated.size()) {
        return std::nullopt;
    }
    std::memcpy(terminated.data(), text.data(), text.size());
    in6_addr address{};
    if (::inet_pton(AF_INET6, terminated.data(), &address) != 1) {
        return std::nullopt;
    }
    return address;
}

std::string Ipv6Problem(std::string_view text)
{
    std::string_view bare = text;
    if (bare.starts_with('[')) {
        if (!bare.ends_with(']')) {
            return R"(Missing "]" in ")" + std::string(text) + '"';
        }
        bare = bare.substr(1, bare.size() - 2);
    }
    if (bare.find('%') != std::string_view::npos) {
        return "Zone index not allowed in \"" + std::string(text) + "\"";
    }
    if (!ParseIpv6(bare)) {
        return "Invalid IPv6 address \"" + std::string(text) + "\"";
    }
    return {};
}

} // namespace pelmora
