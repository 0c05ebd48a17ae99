#include "core/app/host_listing.h"

#include "core/monitor/hosts/host_rules.h"

namespace pelmora {
namespace {

std::string ProbedName(const std::string& target, HostKind kind)
{
    if (kind != HostKind::HTTP) {
        return IcmpProbeName(target);
    }
    const auto address = ParseWebTarget(target);
    if (!address) {
        return "(no host)";
    }
    return HostAndPort(*address);
}

std::string ProxyText(const HostEntry& entry, HostKind kind)
{
    if (entry.Proxy().empty() || kind != HostKind::HTTP) {
        return entry.Proxy().empty() ? "-" : "(ignored) " + entry.Proxy();
    }
    if (!SplitProxy(entry.Proxy())) {
        return "(invalid port, checked directly) " + entry.Proxy();
    }
    return entry.Proxy();
}

} // namespace

std::string DescribeHostList(const HostList& hosts)
{
    std::string text;
    for (std::size_t i = 0; i < hosts.Count(); ++i) {
        const HostEntry& entry = *hosts.At(i);
        const HostKind kind = KindOf(entry.Target());
        text += std::string(HostKindName(kind)) + "\t" + entry.Target() + "\t" +
                ProbedName(entry.Target(), kind) + "\t" + ProxyText(entry, kind) + "\n";
    }
    return text;
}

} // namespace pelmora
