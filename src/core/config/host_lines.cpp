#include "core/config/host_lines.h"

namespace pelmora {

std::vector<HostLine> HostLinesOf(const HostList& hosts)
{
    std::vector<HostLine> lines;
    lines.reserve(hosts.Count());
    for (std::size_t i = 0; i < hosts.Count(); ++i) {
        lines.push_back({hosts.At(i)->Target(), hosts.At(i)->Proxy()});
    }
    return lines;
}

void ReplaceHostList(HostList& hosts, const std::vector<HostLine>& lines)
{
    hosts.Clear();
    for (const HostLine& line : lines) {
        hosts.Append(line.target, line.proxy);
    }
}

} // namespace pelmora
