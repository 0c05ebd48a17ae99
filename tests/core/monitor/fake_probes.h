#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "core/monitor/echo_probe.h"
#include "core/monitor/http_probe.h"

namespace pelmora::test {

// Probes that do what a test scripts for each host and record every call as
// a line of text, so a test can compare what the worker asked for.

TReplyStatus ReplyFrom(ReplyKind kind, std::string sourceAddress, std::uint8_t ttl);

class FakeEchoProbe final : public EchoProbe {
public:
    using Action = std::function<void(FakeEchoProbe&)>;

    // What Echo does for the host; a host without a script times out.
    void Script(const std::string& host, Action action);
    void Echo(std::string_view payload, std::uint16_t sequence) override;
    // "echo <host>" per call.
    std::vector<std::string> Calls() const;

    static Action Answer(TReplyStatus status);
    static Action Fail(std::string message);
    // Blocks on the Abort signal's descriptor, as a real wait does, for at
    // most 30 s; then fails with EIdAborted.
    static Action WaitForAbort();

private:
    mutable std::mutex mutex_;
    std::map<std::string, Action> script_;
    std::vector<std::string> calls_;
};

class FakeHttpProbe final : public HttpProbe {
public:
    // The status GetPage returns; OpenConnection ignores it. May throw.
    using Action = std::function<int()>;

    // Keyed by Host for OpenConnection and by the URL for GetPage. Without a
    // script OpenConnection is refused and GetPage times out.
    void Script(const std::string& hostOrUrl, Action action);
    // As a proxied check that timed out leaves it.
    void LeaveConnectionOpen();

    bool IsConnected() const override;
    void CloseConnection() override;
    void OpenConnection(int limitMs) override;
    int GetPage(const std::string& url) override;

    // "open <host>:<port> within <ms>, read <ms>, proxy <server>:<port>",
    // "get <url> via <server>:<port>, read <ms>", "close".
    std::vector<std::string> Calls() const;

    static Action Status(int code);
    static Action Fail(std::string message);

private:
    Action Find(const std::string& key, Action fallback) const;
    void Record(std::string call);

    mutable std::mutex mutex_;
    std::map<std::string, Action> script_;
    std::vector<std::string> calls_;
    bool connected_ = false;
};

// A point inside a probe where the worker stops until the test lets it go.
class Gate {
public:
    // Worker side: marks the gate as reached and waits (at most 10 s) until
    // it is opened.
    void Pass();
    // Test side.
    bool WaitReached(std::chrono::milliseconds timeout);
    void Open();
    int Passes() const;

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    int passes_ = 0;
    bool open_ = false;
};

} // namespace pelmora::test
