#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "core/monitor/check_sink.h"
#include "core/monitor/echo_probe.h"
#include "core/monitor/hand_over.h"
#include "core/monitor/host_entry.h"
#include "core/monitor/host_list.h"
#include "core/monitor/http_probe.h"
#include "core/monitor/net/stop_signal.h"
#include "core/monitor/time_of_day.h"

namespace pelmora {

// What one probe found, for a verbose trace: `detail` is the probe's error
// text, or what its answer was. `target` is valid during the call only.
struct ProbeOutcome {
    std::string_view target;
    HostKind kind;
    bool reachable;
    std::string detail;
};

// Everything the worker works with. The list, the probes, the hand-over and
// the sink must outlive the worker; the probes are used by it alone.
struct CheckHostsLinks {
    HostList& hosts;
    EchoProbe& echo;
    HttpProbe& http;
    HandOver& handOver;
    CheckSink& sink;
    // The text of a message key in the current language, looked up at the
    // moment of use (the program passes MessageText).
    std::function<std::string(std::string_view)> messageText;
    std::function<std::string()> timeOfDay = LocalTimeOfDay;
    // Optional; called on the worker thread after each probe.
    std::function<void(const ProbeOutcome&)> onProbe = nullptr;
};

// The check worker: a thread that walks the host list once per cycle, probes
// each entry and reports every change of state through the hand-over. It is
// created asleep; each wake runs one cycle, after which it sleeps again.
class TCheckHosts {
public:
    explicit TCheckHosts(CheckHostsLinks links);
    TCheckHosts(const TCheckHosts&) = delete;
    TCheckHosts& operator=(const TCheckHosts&) = delete;
    ~TCheckHosts();

    // Starts a cycle if the worker is asleep and not held. A wake that finds
    // it running is dropped, so cycles never overlap or queue.
    void Wake();
    bool IsAsleep() const;
    // Called on the thread that serves the hand-over: waits for a running
    // cycle to end, serving its hand-overs meanwhile, and keeps the worker
    // from starting another until Release. Holds nest.
    void Hold();
    void Release();
    // Ends a running probe at once, abandons a pending hand-over and joins the
    // thread. Any thread but the worker's own may call it, though not from
    // inside a hand-over step. The hand-over stays closed afterwards.
    void Stop();

private:
    enum class Outcome : std::uint8_t { Reachable, Unreachable, Aborted };

    void LeaveProbes();
    void Execute();
    bool WaitForWake();
    void CheckCycle();
    bool CheckEntry(std::size_t index);
    Outcome ProbeEcho(const std::string& target, std::string& detail);
    Outcome ProbeHttp(const std::string& target, const std::string& proxy, std::string& detail);
    void EchoReplied(const TReplyStatus& status);
    bool Decide(bool reachable);
    void HostChanged();
    void CycleDone();

    CheckHostsLinks links_;
    StopSignal stop_;

    // Written on the worker thread before a hand-over, read during it.
    std::size_t FCurrent = 0;
    bool FHostUp = false;
    // Set by the echo probe's reply event, on the worker thread.
    bool echoReached_ = false;
    std::string echoDetail_;
    // The direct web check keeps its connection open across the change step.
    bool connectionHeld_ = false;

    // Touched only on the user-interface thread.
    std::string FLostHosts;
    std::string FAppearedHosts;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool asleep_ = true;
    bool terminated_ = false;
    int holds_ = 0;

    std::thread thread_;
};

} // namespace pelmora
