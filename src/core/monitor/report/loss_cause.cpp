#include "core/monitor/report/loss_cause.h"

#include <string>
#include <string_view>

#include "core/monitor/net/probe_errors.h"
#include "core/monitor/net/socket_error.h"

namespace pelmora {
namespace {

// The probes report failures by their texts alone, so these are matched
// whole against the very texts the probes make.
std::optional<LossCause> CauseOfFailure(const std::string& failure)
{
    const auto is = [&failure](int winsockCode) {
        return failure == SocketErrorMessage(winsockCode);
    };
    if (is(kWsaConnectionRefused)) {
        return LossCause{"CauseRefused", {}};
    }
    if (is(kWsaHostNotFound)) {
        return LossCause{"CauseNameNotFound", {}};
    }
    if (failure == EIdConnectTimeout().what() || is(kWsaTimedOut)) {
        return LossCause{"CauseConnectTimeout", {}};
    }
    if (failure == EIdReadTimeout().what()) {
        return LossCause{"CauseNoAnswer", {}};
    }
    return std::nullopt;
}

} // namespace

std::optional<LossCause> ClassifyLoss(ProbeKind kind, const ProbeAnswer& answer)
{
    if (answer.icmpNotPermitted) {
        return LossCause{"CauseNotPermitted", {}};
    }
    if (answer.failure) {
        return CauseOfFailure(*answer.failure);
    }
    switch (kind) {
    case ProbeKind::Echo: break;
    case ProbeKind::Connect: return std::nullopt;
    case ProbeKind::Proxy:
    case ProbeKind::Tunnel: return LossCause{"CauseProxy", std::to_string(answer.proxyStatus)};
    }
    switch (answer.echo.Status) {
    case ReplyKind::Unreachable: return LossCause{"CauseUnreachable", answer.echo.SourceAddress};
    case ReplyKind::TtlExpired: return LossCause{"CauseTtl", answer.echo.SourceAddress};
    case ReplyKind::EchoReply:
    case ReplyKind::Error:
    case ReplyKind::TimedOut: break;
    }
    // A timeout, or a reply that proves nothing (no source, no TTL).
    return LossCause{"CauseNoAnswer", {}};
}

} // namespace pelmora
