#include "core/monitor/check_hosts.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <utility>

#include "core/monitor/host_rules.h"
#include "core/monitor/parallel_checks.h"
#include "core/monitor/probe_plan.h"

namespace pelmora {
namespace {

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

TCheckHosts::TCheckHosts(CheckHostsLinks links)
    : links_(std::move(links)), parallelLimit_(kDefaultParallelChecks)
{
    thread_ = std::thread(&TCheckHosts::Execute, this);
}

TCheckHosts::~TCheckHosts()
{
    Stop();
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

void TCheckHosts::SetParallelLimit(std::size_t limit)
{
    parallelLimit_.store(std::max<std::size_t>(limit, 1), std::memory_order_relaxed);
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
    const std::size_t limit = parallelLimit_.load(std::memory_order_relaxed);
    struct EndAtLast {
        CycleProber& prober;
        ~EndAtLast() { prober.EndCycle(); }
    } endAtLast{links_.prober};

    std::vector<Check> checks(count);
    std::size_t started = 0;
    std::size_t handedOver = 0;
    std::size_t running = 0;
    while (true) {
        // Changes go over before further probes start, so that with a limit
        // of one each entry is handed over before the next is probed.
        for (; handedOver < count && checks[handedOver].decided; ++handedOver) {
            if (stop_.IsRaised()) {
                return;
            }
            FCurrent = handedOver;
            if (!HandOver(checks[handedOver])) {
                return;
            }
            checks[handedOver] = Check{};
        }
        if (handedOver == count) {
            break;
        }
        if (started < count && running < limit) {
            if (StartEntry(started, checks[started])) {
                ++running;
            }
            ++started;
            continue;
        }
        const std::optional<ProbeAnswer> answer = links_.prober.WaitNext(stop_);
        if (!answer) {
            return;
        }
        if (answer->entry < count && !checks[answer->entry].decided) {
            Judge(*answer, checks[answer->entry]);
            --running;
        }
    }
    links_.handOver.Synchronize([this] { CycleDone(); });
}

bool TCheckHosts::StartEntry(std::size_t index, Check& check)
{
    const HostEntry* entry = links_.hosts.At(index);
    if (entry == nullptr) {
        // Passed over; HandOver finds it gone as well.
        check.decided = true;
        return false;
    }
    check.target = entry->Target();
    check.kind = KindOf(check.target);
    try {
        ProbePlan plan = PlanProbe(check.target, entry->Proxy());
        if (!plan.job) {
            check.decided = true;
            check.detail = std::move(plan.failure);
            return false;
        }
        check.probe = plan.job->kind;
        links_.prober.Start(index, *plan.job);
        return true;
    } catch (const std::exception& error) {
        // Out of memory or the like: this entry fails, the cycle goes on.
        check.decided = true;
        check.detail = error.what();
        return false;
    }
}

void TCheckHosts::Judge(const ProbeAnswer& answer, Check& check)
{
    check.decided = true;
    if (answer.failure) {
        check.detail = *answer.failure;
        return;
    }
    switch (check.probe) {
    case ProbeKind::Echo:
        check.reachable = EchoReached(answer.echo);
        check.detail = DescribeReply(answer.echo);
        break;
    case ProbeKind::Connect:
        check.reachable = true;
        check.detail = "Connected";
        break;
    case ProbeKind::Proxy:
        check.reachable = !ProxyFailed(answer.proxyStatus);
        check.detail = "Proxy answered " + std::to_string(answer.proxyStatus);
        break;
    case ProbeKind::Tunnel:
        check.reachable = answer.proxyStatus >= 200 && answer.proxyStatus <= 299;
        check.detail = "Proxy answered " + std::to_string(answer.proxyStatus);
        break;
    }
}

// Tells the probe hook and hands the entry's change over; false when the
// worker is being stopped and the cycle must end.
bool TCheckHosts::HandOver(Check& check)
{
    if (links_.hosts.At(FCurrent) == nullptr) {
        return true;
    }
    if (links_.onProbe) {
        links_.onProbe(
            ProbeOutcome{check.target, check.kind, check.reachable, std::move(check.detail)});
    }
    return Decide(check.reachable);
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
