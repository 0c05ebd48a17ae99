#include "fake_probes.h"

#include <poll.h>

#include <utility>

#include "core/monitor/net/probe_errors.h"
#include "core/monitor/net/stop_signal.h"

namespace pelmora::test {

TReplyStatus ReplyFrom(ReplyKind kind, std::string sourceAddress, std::uint8_t ttl)
{
    TReplyStatus status;
    status.ByteCount = 60;
    status.SourceAddress = std::move(sourceAddress);
    status.Ttl = ttl;
    status.Status = kind;
    return status;
}

void FakeEchoProbe::Script(const std::string& host, Action action)
{
    const std::lock_guard lock(mutex_);
    script_[host] = std::move(action);
}

void FakeEchoProbe::Echo(std::string_view, std::uint16_t)
{
    Action action = Answer(ReplyFrom(ReplyKind::TimedOut, "0.0.0.0", 0));
    {
        const std::lock_guard lock(mutex_);
        calls_.push_back("echo " + Host);
        if (const auto found = script_.find(Host); found != script_.end()) {
            action = found->second;
        }
    }
    action(*this);
}

std::vector<std::string> FakeEchoProbe::Calls() const
{
    const std::lock_guard lock(mutex_);
    return calls_;
}

FakeEchoProbe::Action FakeEchoProbe::Answer(TReplyStatus status)
{
    return [status = std::move(status)](FakeEchoProbe& probe) { probe.OnReply(probe, status); };
}

FakeEchoProbe::Action FakeEchoProbe::Fail(std::string message)
{
    return [message = std::move(message)](FakeEchoProbe&) { throw EIdException(message); };
}

FakeEchoProbe::Action FakeEchoProbe::WaitForAbort()
{
    return [](FakeEchoProbe& probe) {
        if (probe.Abort == nullptr) {
            throw EIdException("no stop signal given to the probe");
        }
        pollfd wait{probe.Abort->Fd(), POLLIN, 0};
        ::poll(&wait, 1, 30000);
        throw EIdAborted();
    };
}

void FakeHttpProbe::Script(const std::string& hostOrUrl, Action action)
{
    const std::lock_guard lock(mutex_);
    script_[hostOrUrl] = std::move(action);
}

void FakeHttpProbe::LeaveConnectionOpen()
{
    const std::lock_guard lock(mutex_);
    connected_ = true;
}

bool FakeHttpProbe::IsConnected() const
{
    const std::lock_guard lock(mutex_);
    return connected_;
}

void FakeHttpProbe::CloseConnection()
{
    Record("close");
    const std::lock_guard lock(mutex_);
    connected_ = false;
}

void FakeHttpProbe::OpenConnection(int limitMs)
{
    Record("open " + Host + ":" + std::to_string(Port) + " within " + std::to_string(limitMs) +
           ", read " + std::to_string(ReadTimeout) + ", proxy " + ProxyParams.ProxyServer + ":" +
           std::to_string(ProxyParams.ProxyPort));
    if (IsConnected()) {
        throw EIdException("opened over an open connection");
    }
    Find(Host, Fail("Socket Error # 10061\r\nConnection refused."))();
    const std::lock_guard lock(mutex_);
    connected_ = true;
}

int FakeHttpProbe::GetPage(const std::string& url)
{
    Record("get " + url + " via " + ProxyParams.ProxyServer + ":" +
           std::to_string(ProxyParams.ProxyPort) + ", read " + std::to_string(ReadTimeout));
    return Find(url, Fail("Read Timeout"))();
}

std::vector<std::string> FakeHttpProbe::Calls() const
{
    const std::lock_guard lock(mutex_);
    return calls_;
}

FakeHttpProbe::Action FakeHttpProbe::Status(int code)
{
    return [code] { return code; };
}

FakeHttpProbe::Action FakeHttpProbe::Fail(std::string message)
{
    return [message = std::move(message)]() -> int { throw EIdException(message); };
}

FakeHttpProbe::Action FakeHttpProbe::Find(const std::string& key, Action fallback) const
{
    const std::lock_guard lock(mutex_);
    if (const auto found = script_.find(key); found != script_.end()) {
        return found->second;
    }
    return fallback;
}

void FakeHttpProbe::Record(std::string call)
{
    const std::lock_guard lock(mutex_);
    calls_.push_back(std::move(call));
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
