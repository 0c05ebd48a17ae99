#include "core/monitor/check_hosts.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <utility>

#include "core/monitor/host_rules.h"
#include "core/monitor/net/probe_errors.h"

namespace pelmora {
namespace {

constexpr int kHttpTimeoutMs = 3000;

// Only an echo reply proves the host is there: an "unreachable" or "time
// exceeded" report carries a router's address and TTL, not the host's.
bool EchoReached(const TReplyStatus& status)
{
    return status.Status == ReplyKind::EchoReply && status.SourceAddress != "0.0.0.0" &&
           status.Ttl > 0;
}

std::string DescribeReply(const TReplyStatus& status)
{
    if (EchoReached(status)) {
        return "Echo reply from " + status.SourceAddress + ", TTL " + std::to_string(status.Ttl);
    }
    switch (status.Status) {
    case ReplyKind::Unreachable:
        return "Destination unreachable, reported by " + status.SourceAddress;
    case ReplyKind::TtlExpired: return "Time to live exceeded, reported by " + status.SourceAddress;
    case ReplyKind::EchoReply:
    case ReplyKind::Error:
    case ReplyKind::TimedOut: break;
    }
    return "No answer";
}

// The proxy could not reach the host (or would not let us ask).
bool ProxyFailed(int status)
{
    return status == 407 || status == 502 || status == 503 || status == 504;
}

// Blanks and control characters only, as a trim would leave nothing of it.
bool IsBlank(std::string_view text)
{
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) <= ' '; });
}

} // namespace

TCheckHosts::TCheckHosts(CheckHostsLinks links) : links_(std::move(links))
{
    links_.echo.Abort = &stop_;
    links_.http.Abort = &stop_;
    links_.echo.OnReply = [this](EchoProbe&, const TReplyStatus& status) { EchoReplied(status); };
    try {
        thread_ = std::thread(&TCheckHosts::Execute, this);
    } catch (...) {
        LeaveProbes();
        throw;
    }
}

TCheckHosts::~TCheckHosts()
{
    Stop();
    LeaveProbes();
}

// The probes outlive the worker; they must not keep pointing into it.
void TCheckHosts::LeaveProbes()
{
    links_.echo.OnReply = nullptr;
    links_.echo.Abort = nullptr;
    links_.http.Abort = nullptr;
}

void TCheckHosts::Wake()
{
    {
        const std::lock_guard lock(mutex_);
        if (!asleep_ || holds_ > 0 || terminated_) {
            return;
        }
        asleep_ = false;
    }
    wake_.notify_one();
}

bool TCheckHosts::IsAsleep() const
{
    const std::lock_guard lock(mutex_);
    return asleep_;
}

void TCheckHosts::Hold()
{
    {
        const std::lock_guard lock(mutex_);
        ++holds_;
    }
    links_.handOver.ServeUntil([this] { return IsAsleep(); });
}

void TCheckHosts::Release()
{
    const std::lock_guard lock(mutex_);
    if (holds_ > 0) {
        --holds_;
    }
}

void TCheckHosts::Stop()
{
    {
        const std::lock_guard lock(mutex_);
        terminated_ = true;
    }
    wake_.notify_one();
    stop_.Raise();
    links_.handOver.Close();
    if (thread_.joinable()) {
        thread_.join();
    }
}

void TCheckHosts::Execute()
{
    while (WaitForWake()) {
        try {
            CheckCycle();
        } catch (...) {
            // A failure outside the probes (out of memory in a hand-over)
            // costs this cycle only, never the worker.
        }
        {
            const std::lock_guard lock(mutex_);
            asleep_ = true;
        }
        links_.handOver.Notify();
    }
    links_.handOver.Notify();
}

bool TCheckHosts::WaitForWake()
{
    std::unique_lock lock(mutex_);
    wake_.wait(lock, [this] { return !asleep_ || terminated_; });
    if (terminated_) {
        asleep_ = true;
        return false;
    }
    return true;
}

void TCheckHosts::CheckCycle()
{
    const std::size_t count = links_.hosts.Count();
    for (std::size_t i = 0; i < count; ++i) {
        if (stop_.IsRaised()) {
            return;
        }
        FCurrent = i;
        if (!CheckEntry(i)) {
            return;
        }
    }
    links_.handOver.Synchronize([this] { CycleDone(); });
}

// Probes the entry and hands its change over; false when the worker is being
// stopped and the cycle must end.
bool TCheckHosts::CheckEntry(std::size_t index)
{
    const HostEntry* entry = links_.hosts.At(index);
    if (entry == nullptr) {
        return true;
    }
    const std::string target = entry->Target();
    const HostKind kind = KindOf(target);
    std::string detail;
    Outcome outcome = Outcome::Unreachable;
    try {
        outcome = kind == HostKind::HTTP ? ProbeHttp(target, entry->Proxy(), detail)
                                         : ProbeEcho(target, detail);
    } catch (const EIdAborted&) {
        outcome = Outcome::Aborted;
    } catch (const std::exception& error) {
        detail = error.what();
    } catch (...) {
        detail = "Unknown failure";
    }
    bool goOn = outcome != Outcome::Aborted && !stop_.IsRaised();
    if (goOn) {
        const bool reachable = outcome == Outcome::Reachable;
        if (links_.onProbe) {
            links_.onProbe(ProbeOutcome{target, kind, reachable, std::move(detail)});
        }
        goOn = Decide(reachable);
    }
    if (connectionHeld_) {
        connectionHeld_ = false;
        links_.http.CloseConnection();
    }
    return goOn;
}

TCheckHosts::Outcome TCheckHosts::ProbeEcho(const std::string& target, std::string& detail)
{
    EchoProbe& echo = links_.echo;
    echo.Host = IcmpProbeName(target);
    echoReached_ = false;
    echoDetail_ = "No answer";
    echo.Echo({}, 0);
    detail = std::move(echoDetail_);
    return echoReached_ ? Outcome::Reachable : Outcome::Unreachable;
}

// Runs inside Echo, on the worker thread.
void TCheckHosts::EchoReplied(const TReplyStatus& status)
{
    echoReached_ = EchoReached(status);
    echoDetail_ = DescribeReply(status);
}

TCheckHosts::Outcome TCheckHosts::ProbeHttp(const std::string& target, const std::string& proxy,
                                            std::string& detail)
{
    HttpProbe& http = links_.http;
    if (http.IsConnected()) {
        http.CloseConnection();
    }
    const std::string hostText = HttpHostText(target);
    http.ReadTimeout = kHttpTimeoutMs;
    // A proxy text whose port is no number can only come from a hand-edited
    // settings file; such an entry is checked as if it had no proxy.
    const std::optional<ProxySplit> viaProxy = proxy.empty() ? std::nullopt : SplitProxy(proxy);
    if (viaProxy) {
        http.Host = hostText;
        http.ProxyParams = TIdProxyParams{viaProxy->server, viaProxy->port};
        const int status = http.GetPage(http.Host);
        detail = "Proxy answered " + std::to_string(status);
        return ProxyFailed(status) ? Outcome::Unreachable : Outcome::Reachable;
    }
    const std::optional<HttpAddress> address = ParseHttpHostText(hostText);
    if (!address) {
        detail = "No host and port in \"" + hostText + "\"";
        return Outcome::Unreachable;
    }
    http.Host = address->host;
    http.Port = address->port;
    http.ProxyParams = TIdProxyParams{};
    http.OpenConnection(kHttpTimeoutMs);
    // The change is reported while the connection is still open.
    connectionHeld_ = true;
    detail = "Connected";
    return Outcome::Reachable;
}

// Compares the outcome with the state the entry has now and hands a change
// over; false when the hand-over was abandoned.
bool TCheckHosts::Decide(bool reachable)
{
    const HostEntry* entry = links_.hosts.At(FCurrent);
    if (entry == nullptr || reachable == (entry->State() == HostState::Up)) {
        return true;
    }
    FHostUp = reachable;
    return links_.handOver.Synchronize([this] { HostChanged(); });
}

// User-interface thread.
void TCheckHosts::HostChanged()
{
    const HostEntry* entry = links_.hosts.At(FCurrent);
    if (entry == nullptr) {
        return;
    }
    const std::string target = entry->Target();
    links_.hosts.SetState(FCurrent, FHostUp ? HostState::Up : HostState::Down);
    (FHostUp ? FAppearedHosts : FLostHosts) += "\r\n  " + target;
    links_.sink.AppendLogLine(links_.timeOfDay() + ". " +
                              links_.messageText(FHostUp ? "AppearHost" : "LoseHost") + " " +
                              target);
}

// User-interface thread.
void TCheckHosts::CycleDone()
{
    std::string report;
    if (!IsBlank(FLostHosts)) {
        report += links_.messageText("LoseHosts") + FLostHosts + "\r\n\r\n";
    }
    if (!IsBlank(FAppearedHosts)) {
        report += links_.messageText("AppearHosts") + FAppearedHosts;
    }
    FLostHosts.clear();
    FAppearedHosts.clear();
    if (!report.empty()) {
        links_.sink.ShowReport(report);
    }
}

} // namespace pelmora
