#include "core/monitor/net/resolve_host.h"

#include "core/monitor/net/ipv6_literal.h"
#include "core/monitor/net/name_lookup.h"
#include "core/monitor/net/probe_errors.h"
#include "core/monitor/net/socket_error.h"

namespace pelmora {
namespace {

bool IsLocalhost(std::string_view host)
{
    constexpr std::string_view localhost = "localhost";
    if (host.size() != localhost.size()) {
        return false;
    }
    for (std::size_t i = 0; i < host.size(); ++i) {
        char c = host[i];
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
        if (c != localhost[i]) {
            return false;
        }
    }
    return true;
}

} // namespace

std::optional<in_addr> ParseDottedQuad(std::string_view text)
{
    std::uint32_t address = 0;
    int parts = 0;
    while (true) {
        const std::size_t dot = text.find('.');
        const std::string_view part = text.substr(0, dot);
        if (part.empty() || part.size() > 16) {
            return std::nullopt;
        }
        unsigned value = 0;
        for (const char c : part) {
            if (c < '0' || c > '9') {
                return std::nullopt;
            }
            value = value * 10 + static_cast<unsigned>(c - '0');
            if (value > 255) {
                return std::nullopt;
            }
        }
        address = (address << 8) | value;
        ++parts;
        if (dot == std::string_view::npos) {
            break;
        }
        if (parts == 4) {
            return std::nullopt;
        }
        text.remove_prefix(dot + 1);
    }
    if (parts != 4) {
        return std::nullopt;
    }
    in_addr result{};
    result.s_addr = htonl(address);
    return result;
}

std::optional<IpAddress> AddressWithoutLookup(const std::string& host)
{
    if (IsLocalhost(host)) {
        in_addr loopback{};
        loopback.s_addr = htonl(INADDR_LOOPBACK);
        return loopback;
    }
    if (const auto quad = ParseDottedQuad(host)) {
        return *quad;
    }
    if (const auto v6 = ParseIpv6(host)) {
        return *v6;
    }
    return std::nullopt;
}

IpAddress ResolveHost(const std::string& host)
{
    if (const auto known = AddressWithoutLookup(host)) {
        return *known;
    }
    if (const auto found = host.empty() ? std::nullopt : LookUpFirstAddress(host)) {
        return *found;
    }
    throw EIdSocketError(kWsaHostNotFound, SocketErrorMessage(kWsaHostNotFound));
}

std::string DottedDecimal(in_addr address)
{
    const std::uint32_t host = ntohl(address.s_addr);
    return std::to_string((host >> 24) & 0xFF) + "." + std::to_string((host >> 16) & 0xFF) + "." +
           std::to_string((host >> 8) & 0xFF) + "." + std::to_string(host & 0xFF);
}

} // namespace pelmora
