#include "core/monitor/net/name_lookup.h"

#include <netdb.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace pelmora {

std::optional<IpAddress> LookUpFirstAddress(const std::string& host)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) {
        return std::nullopt;
    }
    const std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> owner(found, &freeaddrinfo);
    sockaddr_storage first{};
    std::memcpy(&first, found->ai_addr, std::min<std::size_t>(found->ai_addrlen, sizeof first));
    return FromSocketAddress(first);
}

} // namespace pelmora
