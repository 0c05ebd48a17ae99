#include "core/monitor/net/ip_address.h"

#include <array>
#include <cstring>

#include "core/monitor/net/resolve_host.h"

namespace pelmora {

IpAddress::IpAddress(in_addr address) : v4(address) {}

IpAddress::IpAddress(in6_addr address) : family(AF_INET6), v6(address) {}

bool IpAddress::operator==(const IpAddress& other) const
{
    if (family != other.family) {
        return false;
    }
    return IsV6() ? std::memcmp(&v6, &other.v6, sizeof v6) == 0 : v4.s_addr == other.v4.s_addr;
}

std::string AddressText(const IpAddress& address)
{
    if (!address.IsV6()) {
        return DottedDecimal(address.v4);
    }
    std::array<char, INET6_ADDRSTRLEN> text{};
    ::inet_ntop(AF_INET6, &address.v6, text.data(), text.size());
    return text.data();
}

socklen_t ToSocketAddress(const IpAddress& address, std::uint16_t port, sockaddr_storage* storage)
{
    *storage = {};
    if (address.IsV6()) {
        sockaddr_in6 v6{};
        v6.sin6_family = AF_INET6;
        v6.sin6_port = htons(port);
        v6.sin6_addr = address.v6;
        std::memcpy(storage, &v6, sizeof v6);
        return sizeof v6;
    }
    sockaddr_in v4{};
    v4.sin_family = AF_INET;
    v4.sin_port = htons(port);
    v4.sin_addr = address.v4;
    std::memcpy(storage, &v4, sizeof v4);
    return sizeof v4;
}

IpAddress FromSocketAddress(const sockaddr_storage& storage)
{
    if (storage.ss_family == AF_INET6) {
        sockaddr_in6 v6{};
        std::memcpy(&v6, &storage, sizeof v6);
        return v6.sin6_addr;
    }
    sockaddr_in v4{};
    std::memcpy(&v4, &storage, sizeof v4);
    return v4.sin_addr;
}

} // namespace pelmora
