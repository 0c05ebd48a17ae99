#include "fake_probes.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "core/monitor/net/stop_signal.h"

namespace pelmora::test {
namespace {

using Clock = std::chrono::steady_clock;

std::string FirstLine(const std::string& text)
{
    return text.substr(0, text.find("\r\n"));
}

FakeProber::Action Default(ProbeKind kind)
{
    switch (kind) {
    case ProbeKind::Echo: return FakeProber::Echo(ReplyFrom(ReplyKind::TimedOut, "0.0.0.0", 0));
    case ProbeKind::Connect: return FakeProber::Fail("Socket Error # 10061\r\nConnection refused.");
    case ProbeKind::Proxy:
    case ProbeKind::Tunnel: break;
    }
    return FakeProber::Fail("Read Timeout");
}

} // namespace

TReplyStatus ReplyFrom(ReplyKind kind, std::string sourceAddress, std::uint8_t ttl)
{
    TReplyStatus status;
    status.ByteCount = 60;
    status.SourceAddress = std::move(sourceAddress);
    status.Ttl = ttl;
    status.Status = kind;
    return status;
}

void FakeProber::Script(const std::string& host, Action action)
{
    const std::lock_guard lock(mutex_);
    script_[host] = std::move(action);
}

void FakeProber::Start(std::size_t entry, const ProbeJob& job)
{
    Action action = Default(job.kind);
    {
        const std::lock_guard lock(mutex_);
        const std::string where = job.host + ":" + std::to_string(job.port);
        switch (job.kind) {
        case ProbeKind::Echo: calls_.push_back("echo " + job.host); break;
        case ProbeKind::Connect: calls_.push_back("connect " + where); break;
        case ProbeKind::Proxy:
        case ProbeKind::Tunnel:
            calls_.push_back("proxy " + where + " " + FirstLine(job.request));
            break;
        }
        if (const auto found = script_.find(job.host); found != script_.end()) {
            action = found->second;
        }
    }
    Outcome outcome = action(job);
    outcome.answer.entry = entry;
    const std::lock_guard lock(mutex_);
    pending_.push_back(Pending{Clock::now() + outcome.after, started_++, std::move(outcome)});
    mostInFlight_ = std::max(mostInFlight_, pending_.size());
}

std::optional<ProbeAnswer> FakeProber::WaitNext(const StopSignal& stop)
{
    while (!stop.IsRaised()) {
        int timeoutMs = -1;
        {
            const std::lock_guard lock(mutex_);
            const auto first = std::min_element(
                pending_.begin(), pending_.end(), [](const Pending& a, const Pending& b) {
                    if (a.outcome.never != b.outcome.never) {
                        return b.outcome.never;
                    }
                    return a.due != b.due ? a.due < b.due : a.order < b.order;
                });
            if (first != pending_.end() && !first->outcome.never) {
                const auto left =
                    std::chrono::ceil<std::chrono::milliseconds>(first->due - Clock::now());
                if (left.count() <= 0) {
                    ProbeAnswer answer = std::move(first->outcome.answer);
                    pending_.erase(first);
                    ended_.push_back(answer.entry);
                    return answer;
                }
                timeoutMs = static_cast<int>(left.count());
            }
        }
        stop.WaitFor(std::chrono::milliseconds(timeoutMs));
    }
    return std::nullopt;
}

void FakeProber::EndCycle()
{
    const std::lock_guard lock(mutex_);
    pending_.clear();
}

std::vector<std::string> FakeProber::Calls() const
{
    const std::lock_guard lock(mutex_);
    return calls_;
}

std::size_t FakeProber::MostInFlight() const
{
    const std::lock_guard lock(mutex_);
    return mostInFlight_;
}

std::vector<std::size_t> FakeProber::Ended() const
{
    const std::lock_guard lock(mutex_);
    return ended_;
}

FakeProber::Action FakeProber::Echo(TReplyStatus status)
{
    return [status = std::move(status)](const ProbeJob&) {
        Outcome outcome;
        outcome.answer.echo = status;
        return outcome;
    };
}

FakeProber::Action FakeProber::Connected()
{
    return [](const ProbeJob&) { return Outcome{}; };
}

FakeProber::Action FakeProber::ProxyStatus(int code)
{
    return [code](const ProbeJob&) {
        Outcome outcome;
        outcome.answer.proxyStatus = code;
        return outcome;
    };
}

FakeProber::Action FakeProber::Fail(std::string message)
{
    return [message = std::move(message)](const ProbeJob&) {
        Outcome outcome;
        outcome.answer.failure = message;
        return outcome;
    };
}

FakeProber::Action FakeProber::Never()
{
    return [](const ProbeJob&) {
        Outcome outcome;
        outcome.never = true;
        return outcome;
    };
}

FakeProber::Action FakeProber::TakingRoundTrip(std::chrono::microseconds roundTrip, Action action)
{
    return [roundTrip, action = std::move(action)](const ProbeJob& job) {
        Outcome outcome = action(job);
        outcome.answer.roundTrip = roundTrip;
        return outcome;
    };
}

FakeProber::Action FakeProber::After(std::chrono::milliseconds delay, Action action)
{
    return [delay, action = std::move(action)](const ProbeJob& job) {
        Outcome outcome = action(job);
        outcome.after = delay;
        return outcome;
    };
}

FakeProber::Action FakeProber::InTurn(std::vector<Action> actions)
{
    auto next = std::make_shared<std::size_t>(0);
    return [next, actions = std::move(actions)](const ProbeJob& job) {
        const std::size_t turn = std::min((*next)++, actions.size() - 1);
        return actions[turn](job);
    };
}

void Gate::Pass()
{
    std::unique_lock lock(mutex_);
    ++passes_;
    changed_.notify_all();
    changed_.wait_for(lock, std::chrono::seconds(10), [this] { return open_; });
}

bool Gate::WaitReached(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] { return passes_ > 0; });
}

void Gate::Open()
{
    const std::lock_guard lock(mutex_);
    open_ = true;
    changed_.notify_all();
}

int Gate::Passes() const
{
    const std::lock_guard lock(mutex_);
    return passes_;
}

} // namespace pelmora::test
