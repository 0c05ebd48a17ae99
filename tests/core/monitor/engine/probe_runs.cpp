#include "probe_runs.h"

#include <utility>

#include "core/monitor/icmp/reply_description.h"

namespace pelmora::test {

ProbeJob EchoJob(std::string host)
{
    return ProbeJob{ProbeKind::Echo, std::move(host), 0, {}};
}

ProbeJob ConnectJob(std::string host, std::uint16_t port)
{
    return ProbeJob{ProbeKind::Connect, std::move(host), port, {}};
}

ProbeJob ProxyJob(std::string server, std::uint16_t port, std::string request)
{
    return ProbeJob{ProbeKind::Proxy, std::move(server), port, std::move(request)};
}

std::vector<ProbeAnswer> RunProbes(ProbeEngine& engine, const std::vector<ProbeJob>& jobs,
                                   const StopSignal& stop)
{
    std::vector<ProbeAnswer> answers(jobs.size());
    for (ProbeAnswer& answer : answers) {
        answer.failure = "still running";
    }
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        engine.Start(i, jobs[i]);
    }
    for (std::size_t ended = 0; ended < jobs.size(); ++ended) {
        std::optional<ProbeAnswer> answer = engine.WaitNext(stop);
        if (!answer) {
            break;
        }
        answers.at(answer->entry) = std::move(*answer);
    }
    engine.EndCycle();
    return answers;
}

std::vector<ProbeAnswer> RunProbes(ProbeEngine& engine, const std::vector<ProbeJob>& jobs)
{
    const StopSignal never;
    return RunProbes(engine, jobs, never);
}

ProbeAnswer RunProbe(ProbeEngine& engine, const ProbeJob& job)
{
    return RunProbes(engine, {job}).front();
}

std::string Told(const ProbeAnswer& answer, ProbeKind kind)
{
    if (answer.failure) {
        return *answer.failure;
    }
    switch (kind) {
    case ProbeKind::Echo: return Describe(answer.echo);
    case ProbeKind::Connect: return "connected";
    case ProbeKind::Proxy:
    case ProbeKind::Tunnel: break;
    }
    return "status " + std::to_string(answer.proxyStatus);
}

} // namespace pelmora::test
