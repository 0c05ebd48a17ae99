#include "core/monitor/probe_plan.h"

#include "core/monitor/host_rules.h"
#include "core/monitor/http/proxy_request.h"
#include "core/monitor/net/probe_errors.h"

namespace pelmora {
namespace {

ProbePlan Failure(std::string text)
{
    return ProbePlan{std::nullopt, std::move(text)};
}

ProbePlan ViaProxy(const std::string& hostText, const ProxySplit& proxy)
{
    if (hostText.empty()) {
        return Failure("Host field is empty");
    }
    const auto address = ParseHttpHostText(hostText);
    if (!address) {
        return Failure("Invalid host or port in URL");
    }
    ProbeJob job{ProbeKind::Proxy, proxy.server, 0, {}};
    try {
        job.request = ProxyRequest(*address);
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
        return ProbePlan{ProbeJob{ProbeKind::Echo, IcmpProbeName(target), 0, {}}, {}};
    }
    const std::string hostText = HttpHostText(target);
    // A proxy text whose port is no number can only come from a hand-edited
    // settings file; such an entry is checked as if it had no proxy.
    const std::optional<ProxySplit> viaProxy = proxy.empty() ? std::nullopt : SplitProxy(proxy);
    if (viaProxy) {
        return ViaProxy(hostText, *viaProxy);
    }
    const std::optional<HttpAddress> address = ParseHttpHostText(hostText);
    if (!address) {
        return Failure("No host and port in \"" + hostText + "\"");
    }
    return ProbePlan{ProbeJob{ProbeKind::Connect, address->host, address->port, {}}, {}};
}

} // namespace pelmora
