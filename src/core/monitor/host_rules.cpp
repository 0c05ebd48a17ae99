#include "core/monitor/host_rules.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace pelmora {
namespace {

char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

HostKind KindOf(std::string_view target)
{
    constexpr std::string_view http = "http:";
    if (target.size() >= http.size()) {
        bool same = true;
        for (std::size_t i = 0; i < http.size(); ++i) {
            same = same && LowerAscii(target[i]) == http[i];
        }
        if (same) {
            return HostKind::HTTP;
        }
    }
    if (target.starts_with("//") || target.starts_with("\\\\")) {
        return HostKind::LAN;
    }
    return HostKind::IP;
}

std::string IcmpProbeName(std::string_view target)
{
    if (KindOf(target) == HostKind::LAN) {
        return std::string(target.substr(2));
    }
    return std::string(target);
}

std::string HttpHostText(std::string_view target)
{
    constexpr std::string_view prefix = "http://";
    const std::size_t n = std::min(prefix.size(), target.size());
    std::size_t j = 0;
    while (j < n && LowerAscii(target[j]) == prefix[j]) {
        ++j;
    }
    return std::string(target.substr(j));
}

std::optional<HttpAddress> ParseHttpHostText(std::string_view hostText)
{
    const std::size_t authorityEnd = hostText.find_first_of("/?#");
    std::string_view authority = hostText.substr(0, authorityEnd);
    HttpAddress address;
    if (authorityEnd != std::string_view::npos) {
        std::string_view rest = hostText.substr(authorityEnd);
        rest = rest.substr(0, rest.find('#'));
        address.path = rest.starts_with('/') ? std::string(rest) : "/" + std::string(rest);
    }
    // user:password@ in front of the host has no meaning for a reachability check.
    if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos) {
        authority.remove_prefix(at + 1);
    }
    if (const std::size_t colon = authority.rfind(':'); colon != std::string_view::npos) {
        const std::string_view portText = authority.substr(colon + 1);
        authority = authority.substr(0, colon);
        if (!portText.empty()) {
            unsigned port = 0;
            const auto [end, ec] =
                std::from_chars(portText.data(), portText.data() + portText.size(), port);
            if (ec != std::errc{} || end != portText.data() + portText.size() || port == 0 ||
                port > 65535) {
                return std::nullopt;
            }
            address.port = static_cast<std::uint16_t>(port);
        }
    }
    if (authority.empty()) {
        return std::nullopt;
    }
    address.host = std::string(authority);
    return address;
}

std::string HostHeaderValue(const HttpAddress& address)
{
    if (address.port == 80) {
        return address.host;
    }
    return address.host + ":" + std::to_string(address.port);
}

std::optional<std::int32_t> ParseDecimalInt32(std::string_view text)
{
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
        if (value > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) {
            return std::nullopt;
        }
    }
    value = negative ? -value : value;
    if (value > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

std::optional<ProxySplit> SplitProxy(std::string_view proxyText)
{
    const std::size_t colon = proxyText.find(':');
    ProxySplit split;
    std::string_view portText = proxyText;
    if (colon != std::string_view::npos) {
        split.server = std::string(proxyText.substr(0, colon));
        portText = proxyText.substr(colon + 1);
    }
    const auto port = ParseDecimalInt32(portText);
    if (!port) {
        return std::nullopt;
    }
    split.port = *port;
    return split;
}

std::string JoinProxy(std::string_view server, std::int64_t port)
{
    return std::string(server) + ":" + std::to_string(port);
}

} // namespace pelmora
