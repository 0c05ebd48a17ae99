#include "core/monitor/net/name_lookup.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "core/base/windows/wide_text.h"
#include "core/monitor/net/windows/winsock_session.h"

namespace pelmora {

std::optional<IpAddress> LookUpFirstAddress(const std::string& host)
{
    EnsureWinsock();
    ADDRINFOW hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    ADDRINFOW* found = nullptr;
    // The wide call, so a name with non-ASCII letters is looked up as typed.
    const std::wstring name = WideFromUtf8(host);
    if (::GetAddrInfoW(name.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) {
        return std::nullopt;
    }
    const std::unique_ptr<ADDRINFOW, decltype(&::FreeAddrInfoW)> owner(found, &::FreeAddrInfoW);
    sockaddr_storage first{};
    std::memcpy(&first, found->ai_addr, std::min<std::size_t>(found->ai_addrlen, sizeof first));
    return FromSocketAddress(first);
}

} // namespace pelmora
