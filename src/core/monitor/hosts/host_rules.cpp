#include "core/monitor/hosts/host_rules.h"

#include <algorithm>
#include <charconv>
#include <limits>

#include "core/monitor/net/ipv6_literal.h"

namespace pelmora {
namespace {

char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithAnyCase(std::string_view text, std::string_view lowerPrefix)
{
    if (text.size() < lowerPrefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < lowerPrefix.size(); ++i) {
        if (LowerAscii(text[i]) != lowerPrefix[i]) {
            return false;
        }
    }
    return true;
}

// A port of a web address: a decimal number from 1 to 65535.
std::optional<std::uint16_t> ParsePort(std::string_view text)
{
    unsigned port = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), port);
    if (ec != std::errc{} || end != text.data() + text.size() || port == 0 || port > 65535) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(port);
}

} // namespace

bool IsSecureWebTarget(std::string_view target)
{
    return StartsWithAnyCase(target, "https:");
}

HostKind KindOf(std::string_view target)
{
    if (StartsWithAnyCase(target, "http:") || StartsWithAnyCase(target, "https:")) {
        return HostKind::HTTP;
    }
    if (target.starts_with("//") || target.starts_with("\\\\")) {
        return HostKind::LAN;
    }
    return HostKind::IP;
}

const char* HostKindName(HostKind kind)
{
    switch (kind) {
    case HostKind::IP: return "IP";
    case HostKind::HTTP: return "HTTP";
    case HostKind::LAN: return "LAN";
    }
    return "IP";
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
    const std::string_view prefix = IsSecureWebTarget(target) ? "https://" : "http://";
    const std::size_t n = std::min(prefix.size(), target.size());
    std::size_t j = 0;
    while (j < n && LowerAscii(target[j]) == prefix[j]) {
        ++j;
    }
    return std::string(target.substr(j));
}

std::optional<HttpAddress> ParseHttpHostText(std::string_view hostText, std::uint16_t defaultPort)
{
    const std::size_t authorityEnd = hostText.find_first_of("/?#");
    std::string_view authority = hostText.substr(0, authorityEnd);
    HttpAddress address;
    address.port = defaultPort;
    if (authorityEnd != std::string_view::npos) {
        std::string_view rest = hostText.substr(authorityEnd);
        rest = rest.substr(0, rest.find('#'));
        address.path = rest.starts_with('/') ? std::string(rest) : "/" + std::string(rest);
    }
    // user:password@ in front of the host has no meaning for a reachability check.
    if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos) {
        authority.remove_prefix(at + 1);
    }
    // An IPv6 address stands in brackets, so that its colons are not taken
    // for the one before the port.
    std::string_view portPart;
    if (authority.starts_with('[')) {
        const std::size_t close = authority.find(']');
        if (close == std::string_view::npos ||
            !Ipv6Problem(authority.substr(0, close + 1)).empty()) {
            return std::nullopt;
        }
        address.host = std::string(authority.substr(1, close - 1));
        portPart = authority.substr(close + 1);
        if (!portPart.empty() && !portPart.starts_with(':')) {
            return std::nullopt;
        }
    } else {
        const std::size_t colon = authority.rfind(':');
        if (colon != std::string_view::npos) {
            portPart = authority.substr(colon);
            authority = authority.substr(0, colon);
        }
        if (authority.empty() || LooksLikeIpv6(authority)) {
            return std::nullopt;
        }
        address.host = std::string(authority);
    }
    if (portPart.size() > 1) {
        const auto port = ParsePort(portPart.substr(1));
        if (!port) {
            return std::nullopt;
        }
        address.port = *port;
    }
    return address;
}

std::string WebAddressProblem(std::string_view target)
{
    const std::string hostText = HttpHostText(target);
    std::string_view authority =
        std::string_view(hostText).substr(0, hostText.find_first_of("/?#"));
    if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos) {
        authority.remove_prefix(at + 1);
    }
    std::string_view portText;
    if (authority.starts_with('[')) {
        const std::size_t close = authority.find(']');
        if (close == std::string_view::npos) {
            return Ipv6Problem(authority);
        }
        if (std::string problem = Ipv6Problem(authority.substr(0, close + 1)); !problem.empty()) {
            return problem;
        }
        portText = authority.substr(close + 1);
        if (!portText.empty() && !portText.starts_with(':')) {
            return "Nothing but a port may follow \"" +
                   std::string(authority.substr(0, close + 1)) + "\"";
        }
    } else if (std::count(authority.begin(), authority.end(), ':') > 1) {
        return "An IPv6 address stands in brackets: \"" + std::string(authority) + "\"";
    } else if (const std::size_t colon = authority.find(':'); colon != std::string_view::npos) {
        portText = authority.substr(colon);
    }
    if (portText.size() > 1 && !ParsePort(portText.substr(1))) {
        return "Invalid port \"" + std::string(portText.substr(1)) + "\"";
    }
    return {};
}

std::optional<HttpAddress> ParseWebTarget(std::string_view target)
{
    return ParseHttpHostText(HttpHostText(target),
                             IsSecureWebTarget(target) ? kHttpsPort : kHttpPort);
}

std::string HostAndPort(const HttpAddress& address)
{
    return BracketedHost(address.host) + ":" + std::to_string(address.port);
}

std::string HostHeaderValue(const HttpAddress& address)
{
    if (address.port == kHttpPort) {
        return BracketedHost(address.host);
    }
    return HostAndPort(address);
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

std::string BracketedHost(std::string_view host)
{
    if (host.find(':') == std::string_view::npos) {
        return std::string(host);
    }
    return "[" + std::string(host) + "]";
}

std::optional<ProxySplit> SplitProxy(std::string_view proxyText)
{
    ProxySplit split;
    std::string_view portText = proxyText;
    std::size_t colon = proxyText.find(':');
    if (proxyText.starts_with('[')) {
        // A bracketed IPv6 server ends at its "]"; one whose "]" is missing
        // at the last ":", so that the entry fails on its server, not its port.
        const std::size_t close = proxyText.find(']');
        colon = close == std::string_view::npos ? proxyText.rfind(':') : close + 1;
        if (colon >= proxyText.size() || proxyText[colon] != ':') {
            return std::nullopt;
        }
        split.server =
            std::string(close == std::string_view::npos ? proxyText.substr(0, colon)
                                                        : proxyText.substr(1, close - 1));
        portText = proxyText.substr(colon + 1);
    } else if (colon != std::string_view::npos) {
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
    return BracketedHost(server) + ":" + std::to_string(port);
}

} // namespace pelmora
