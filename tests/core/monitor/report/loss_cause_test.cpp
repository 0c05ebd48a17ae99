#include "core/monitor/report/loss_cause.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/monitor/net/probe_errors.h"
#include "core/monitor/net/socket_error.h"

namespace pelmora {
namespace {

ProbeAnswer Failed(std::string text)
{
    ProbeAnswer answer;
    answer.failure = std::move(text);
    return answer;
}

ProbeAnswer Replied(ReplyKind kind, std::string source, std::uint8_t ttl)
{
    ProbeAnswer answer;
    answer.echo.Status = kind;
    answer.echo.SourceAddress = std::move(source);
    answer.echo.Ttl = ttl;
    return answer;
}

ProbeAnswer ProxyAnswered(int status)
{
    ProbeAnswer answer;
    answer.proxyStatus = status;
    return answer;
}

ProbeAnswer NotPermitted()
{
    ProbeAnswer answer = Failed(kCannotAllocateSocket);
    answer.icmpNotPermitted = true;
    return answer;
}

struct CauseCase {
    const char* what;
    ProbeKind kind;
    ProbeAnswer answer;
    std::optional<LossCause> expected;
};

// The failures as the probes word them, each to the cause the log names.
TEST(LossCause, EachFailureOfEachProbeHasItsCause)
{
    const std::vector<CauseCase> cases = {
        {"echo timed out", ProbeKind::Echo, Replied(ReplyKind::TimedOut, "0.0.0.0", 0),
         LossCause{"CauseNoAnswer", ""}},
        {"router: unreachable", ProbeKind::Echo, Replied(ReplyKind::Unreachable, "10.0.0.1", 250),
         LossCause{"CauseUnreachable", "10.0.0.1"}},
        {"router: TTL exceeded", ProbeKind::Echo, Replied(ReplyKind::TtlExpired, "10.0.0.2", 250),
         LossCause{"CauseTtl", "10.0.0.2"}},
        {"reply without a TTL", ProbeKind::Echo, Replied(ReplyKind::EchoReply, "192.0.2.7", 0),
         LossCause{"CauseNoAnswer", ""}},
        {"no ICMP socket allowed", ProbeKind::Echo, NotPermitted(),
         LossCause{"CauseNotPermitted", ""}},
        {"name unknown", ProbeKind::Echo, Failed(SocketErrorMessage(kWsaHostNotFound)),
         LossCause{"CauseNameNotFound", ""}},
        {"refused", ProbeKind::Connect, Failed("Socket Error # 10061\r\nConnection refused."),
         LossCause{"CauseRefused", ""}},
        {"connect timed out", ProbeKind::Connect, Failed(EIdConnectTimeout().what()),
         LossCause{"CauseConnectTimeout", ""}},
        {"connect timed out by the system", ProbeKind::Connect,
         Failed("Socket Error # 10060\r\nConnection timed out."),
         LossCause{"CauseConnectTimeout", ""}},
        {"proxy silent", ProbeKind::Proxy, Failed(EIdReadTimeout().what()),
         LossCause{"CauseNoAnswer", ""}},
        {"proxy 502", ProbeKind::Proxy, ProxyAnswered(502), LossCause{"CauseProxy", "502"}},
        {"proxy 407", ProbeKind::Proxy, ProxyAnswered(407), LossCause{"CauseProxy", "407"}},
        {"CONNECT refused", ProbeKind::Tunnel, ProxyAnswered(403), LossCause{"CauseProxy", "403"}},
        {"reset: no cause told", ProbeKind::Proxy,
         Failed("Socket Error # 10054\r\nConnection reset by peer."), std::nullopt},
        {"not HTTP: no cause told", ProbeKind::Proxy, Failed("Invalid HTTP status line."),
         std::nullopt},
        {"refused, other text after it", ProbeKind::Connect,
         Failed("Socket Error # 10061\r\nConnection refused. And more"), std::nullopt},
    };
    for (const CauseCase& c : cases) {
        const std::optional<LossCause> cause = ClassifyLoss(c.kind, c.answer);
        EXPECT_EQ(cause, c.expected)
            << c.what << ": got " << (cause ? cause->key + " " + cause->argument : "nothing");
    }
}

} // namespace
} // namespace pelmora
