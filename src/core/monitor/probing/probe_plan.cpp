#include "core/monitor/probing/probe_plan.h"

#include "core/monitor/hosts/host_rules.h"
#include "core/monitor/http/proxy_request.h"
#include "core/monitor/net/ipv6_literal.h"
#include "core/monitor/net/probe_errors.h"

namespace pelmora {
namespace {

ProbePlan Failure(std::string text)
{
    return ProbePlan{std::nullopt, std::move(text)};
}

ProbePlan ViaProxy(std::string_view target, const ProxySplit& proxy)
{
    if (HttpHostText(target).empty()) {
        return Failure("Host field is empty");
    }
    const auto address = ParseWebTarget(target);
    if (!address) {
        return Failure("Invalid host or port in URL");
    }
    if (LooksLikeIpv6(proxy.server)) {
        if (std::string problem = Ipv6Problem(proxy.server); !problem.empty()) {
            return Failure("Proxy: " + problem);
        }
    }
    const bool secure = IsSecureWebTarget(target);
    ProbeJob job{secure ? ProbeKind::Tunnel : ProbeKind::Proxy, proxy.server, 0, {}};
    try {
        job.request = secure ? ConnectRequest(*address) : ProxyRequest(*address);
    } catch (const EIdException& error) {
        return Failure(error.what());
    }
    if (proxy.port < 1 || proxy.port > 65535) {
        return Failure("Invalid proxy port " + std::to_string(proxy.port) + ".");
    }
    job.port = static_cast<std::uint16_t>(proxy.port);
    return ProbePlan{std::move(job), {}};
}

} // namespace

ProbePlan PlanProbe(std::string_view target, std::string_view proxy)
{
    if (KindOf(target) != HostKind::HTTP) {
        std::string name = IcmpProbeName(target);
        // A text with a colon or a bracket is no name: it is an IPv6 address,
        // which must be a whole one, or the entry cannot be checked.
        if (LooksLikeIpv6(name)) {
            if (std::string problem = Ipv6Problem(name); !problem.empty()) {
                return Failure(std::move(problem));
            }
            if (name.starts_with('[')) {
                name = name.substr(1, name.size() - 2);
            }
        }
        return ProbePlan{ProbeJob{ProbeKind::Echo, std::move(name), 0, {}}, {}};
    }
    // A proxy text whose port is no number can only come from a hand-edited
    // settings file; such an entry is checked as if it had no proxy.
    const std::optional<ProxySplit> viaProxy = proxy.empty() ? std::nullopt : SplitProxy(proxy);
    if (viaProxy) {
        return ViaProxy(target, *viaProxy);
    }
    const std::optional<HttpAddress> address = ParseWebTarget(target);
    if (!address) {
        const std::string problem = WebAddressProblem(target);
        return Failure(problem.empty() ? "No host and port in \"" + HttpHostText(target) + "\""
                                       : problem);
    }
    return ProbePlan{ProbeJob{ProbeKind::Connect, address->host, address->port, {}}, {}};
}

} // namespace pelmora
