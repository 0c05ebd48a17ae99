#include "core/monitor/worker/check_hosts.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <utility>

#include "core/base/app_paths.h"
#include "core/base/char_class.h"
#include "core/base/path_text.h"
#include "core/monitor/hosts/host_rules.h"
#include "core/monitor/probing/parallel_checks.h"
#include "core/monitor/probing/probe_plan.h"
#include "core/monitor/report/outage_length.h"

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

// The proxy would not let us ask (407), or no working answer came back: any
// 5xx means the proxy could not reach the host or the host itself failed.
// Other answers, 404 included, prove the host is there.
bool ProxyFailed(int status)
{
    return status == 407 || (status >= 500 && status <= 599);
}

std::string WithArgument(std::string text, const std::string& argument)
{
    for (std::size_t at = text.find("%1"); at != std::string::npos;
         at = text.find("%1", at + argument.size())) {
        text.replace(at, 2, argument);
    }
    return text;
}

// The language's text names the remedies; %1 stands for this executable, so
// the command it shows can be copied as it is.
std::string IcmpPermissionHint(const std::string& text)
{
    return WithArgument(text, Utf8OfPath(ExecutablePath()));
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

void TCheckHosts::SetAttempts(int attempts)
{
    attempts_.store(std::max(attempts, 1), std::memory_order_relaxed);
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
        // A failure outside the probes (out of memory, a failing trace)
        // costs this cycle only, never the worker. It is thrown again on the
        // thread that serves the hand-overs, whose front-end tells the user:
        // the tray program in its error box, the console on standard error.
        std::exception_ptr failure;
        try {
            CheckCycle();
        } catch (...) {
            failure = std::current_exception();
        }
        if (failure) {
            links_.handOver.Synchronize([failure] { std::rethrow_exception(failure); });
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
    const int attempts = attempts_.load(std::memory_order_relaxed);
    struct EndAtLast {
        CycleProber& prober;
        ~EndAtLast() { prober.EndCycle(); }
    } endAtLast{links_.prober};

    std::vector<Check> checks(count);
    roundTrips_.assign(count, std::nullopt);
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
            if (checks[handedOver].reachable) {
                roundTrips_[handedOver] = checks[handedOver].roundTrip;
            }
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
            if (!TryAgain(answer->entry, checks[answer->entry], attempts)) {
                --running;
            }
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
        check.job = std::move(*plan.job);
        check.attempts = 1;
        links_.prober.Start(index, check.job);
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
    check.roundTrip = answer.roundTrip;
    check.cause = ClassifyLoss(check.probe, answer);
    if (answer.failure) {
        check.detail = *answer.failure;
        check.icmpNotPermitted = answer.icmpNotPermitted;
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

bool TCheckHosts::TryAgain(std::size_t index, Check& check, int attempts)
{
    if (check.reachable || check.attempts >= attempts) {
        return false;
    }
    // A Down entry needs one answer to come back, so it is never asked twice.
    const HostEntry* entry = links_.hosts.At(index);
    if (entry == nullptr || entry->State() != HostState::Up) {
        return false;
    }
    try {
        links_.prober.Start(index, check.job);
    } catch (const std::exception&) {
        // Out of memory or the like: the failure at hand stands.
        return false;
    }
    ++check.attempts;
    check.decided = false;
    check.detail.clear();
    return true;
}

// Tells the probe hook and hands the entry's change over; false when the
// worker is being stopped and the cycle must end.
bool TCheckHosts::HandOver(Check& check)
{
    if (links_.hosts.At(FCurrent) == nullptr) {
        return true;
    }
    if (check.icmpNotPermitted && !icmpHintGiven_) {
        icmpHintGiven_ = true;
        const std::string hint = IcmpPermissionHint(links_.messageText("IcmpNotPermitted"));
        if (!links_.handOver.Synchronize([this, &hint] { links_.sink.IcmpNotPermitted(hint); })) {
            return false;
        }
    }
    if (links_.onProbe) {
        // The cause is classified for every answer; it means something only
        // for a failure.
        links_.onProbe(ProbeOutcome{check.target, check.kind, check.reachable,
                                    std::move(check.detail), check.roundTrip,
                                    check.reachable ? std::nullopt : check.cause});
    }
    FCause = std::move(check.cause);
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
    FChangedAt = links_.clock();
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
    const std::optional<std::chrono::steady_clock::time_point> downSince = entry->DownSince();
    links_.hosts.SetState(FCurrent, FHostUp ? HostState::Up : HostState::Down);
    links_.hosts.SetDownSince(FCurrent, FHostUp ? std::nullopt : std::optional(FChangedAt));
    (FHostUp ? FAppearedHosts : FLostHosts) += "\r\n  " + target;
    links_.sink.AppendLogLine(links_.timeOfDay() + ". " +
                              links_.messageText(FHostUp ? "AppearHost" : "LoseHost") + " " +
                              target + ChangeSuffix(downSince));
}

// User-interface thread. Why a lost host went, how long an appeared one was
// away; nothing where that is not known.
std::string
TCheckHosts::ChangeSuffix(std::optional<std::chrono::steady_clock::time_point> downSince) const
{
    if (!FHostUp) {
        return FCause ? " - " + WithArgument(links_.messageText(FCause->key), FCause->argument)
                      : std::string();
    }
    if (!downSince) {
        return {};
    }
    const auto away = std::chrono::duration_cast<std::chrono::seconds>(FChangedAt - *downSince);
    return " - " +
           WithArgument(links_.messageText("DownFor"), OutageLength(away, links_.messageText));
}

// User-interface thread. The round trips of all entries go over in this one
// step rather than beside each change, which stays as rare as it was: the
// hand-overs of a cycle do not grow with the length of the list.
void TCheckHosts::CycleDone()
{
    for (std::size_t i = 0; i < roundTrips_.size(); ++i) {
        links_.hosts.SetLastRoundTrip(i, roundTrips_[i]);
    }
    std::string report;
    if (!TrimControlsAndSpaces(FLostHosts).empty()) {
        report += links_.messageText("LoseHosts") + FLostHosts + "\r\n\r\n";
    }
    if (!TrimControlsAndSpaces(FAppearedHosts).empty()) {
        report += links_.messageText("AppearHosts") + FAppearedHosts;
    }
    FLostHosts.clear();
    FAppearedHosts.clear();
    if (!report.empty()) {
        links_.sink.ShowReport(report);
    }
}

} // namespace pelmora
