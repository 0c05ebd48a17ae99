#include "core/config/proxy_record.h"

#include "core/monitor/hosts/host_rules.h"

namespace pelmora {

std::optional<TProxyRecord> ProxyRecordFromText(std::string_view proxyText)
{
    const std::optional<ProxySplit> split = SplitProxy(proxyText);
    if (!split) {
        return std::nullopt;
    }
    return TProxyRecord{split->server,
                        static_cast<std::uint16_t>(static_cast<std::uint32_t>(split->port))};
}

std::string ProxyText(const TProxyRecord& proxy)
{
    return JoinProxy(proxy.Server, proxy.Port);
}

} // namespace pelmora
