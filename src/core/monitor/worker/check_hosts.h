#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "core/monitor/hosts/host_entry.h"
#include "core/monitor/hosts/host_list.h"
#include "core/monitor/net/stop_signal.h"
#include "core/monitor/probing/cycle_prober.h"
#include "core/monitor/report/loss_cause.h"
#include "core/monitor/report/time_of_day.h"
#include "core/monitor/worker/check_sink.h"
#include "core/monitor/worker/hand_over.h"

namespace pelmora {

// What one probe found, for a verbose trace: `detail` is the probe's error
// text, or what its answer was; `roundTrip` how long the answer took, when
// one came; `cause` why it failed, when that is known. `target` is valid
// during the call only.
struct ProbeOutcome {
    std::string_view target;
    HostKind kind;
    bool reachable;
    std::string detail;
    std::optional<std::chrono::microseconds> roundTrip;
    std::optional<LossCause> cause;
};

// Everything the worker works with. The list, the prober, the hand-over and
// the sink must outlive the worker; the prober is used by it alone.
struct CheckHostsLinks {
    HostList& hosts;
    CycleProber& prober;
    HandOver& handOver;
    CheckSink& sink;
    // The text of a message key in the current language, looked up at the
    // moment of use (the program passes MessageText).
    std::function<std::string(std::string_view)> messageText;
    std::function<std::string()> timeOfDay = LocalTimeOfDay;
    // Measures how long a host was away; monotonic, so a change of the
    // wall clock does not stretch or shrink an outage.
    std::function<std::chrono::steady_clock::time_point()> clock = std::chrono::steady_clock::now;
    // Optional; called on the worker thread for each probe, in list order.
    std::function<void(const ProbeOutcome&)> onProbe = nullptr;
};

// The check worker: a thread that probes every entry of the host list once
// per cycle and reports every change of state through the hand-over. Up to
// the parallel limit of probes run at the same time; their changes are still
// handed over in list order, each once every entry before it is decided, so
// what the user sees is what a walk from the first entry to the last gives.
// It is created asleep; each wake runs one cycle, after which it sleeps again.
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
    // How many entries are probed at the same time from the next cycle on;
    // below 1 counts as 1, which probes one after another. Any thread.
    void SetParallelLimit(std::size_t limit);
    // How many failed probes in a row make an Up entry Down, from the next
    // cycle on; below 1 counts as 1. A failed entry that is Up is probed
    // again at once within the same cycle until it answers or the attempts
    // are used up, so one lost packet goes unreported while a real outage
    // still shows in its cycle. Any thread.
    void SetAttempts(int attempts);
    // Ends a running probe at once, abandons a pending hand-over and joins the
    // thread. Any thread but the worker's own may call it, though not from
    // inside a hand-over step. The hand-over stays closed afterwards.
    void Stop();

private:
    // An entry of the running cycle: what it is, and once its probe has
    // ended, what was found.
    struct Check {
        std::string target;
        HostKind kind = HostKind::IP;
        ProbeKind probe = ProbeKind::Echo;
        // Kept for another attempt.
        ProbeJob job;
        int attempts = 0;
        bool decided = false;
        bool reachable = false;
        bool icmpNotPermitted = false;
        std::string detail;
        std::optional<std::chrono::microseconds> roundTrip;
        std::optional<LossCause> cause;
    };

    void Execute();
    bool WaitForWake();
    void CheckCycle();
    // False when the entry needs no probe: it is gone from the list, or its
    // outcome is known without one.
    bool StartEntry(std::size_t index, Check& check);
    static void Judge(const ProbeAnswer& answer, Check& check);
    // Starts the entry's probe once more when it failed, the entry is Up
    // and attempts are left; false when the failure stands.
    bool TryAgain(std::size_t index, Check& check, int attempts);
    bool HandOver(Check& check);
    bool Decide(bool reachable);
    void HostChanged();
    std::string ChangeSuffix(std::optional<std::chrono::steady_clock::time_point> downSince) const;
    void CycleDone();

    CheckHostsLinks links_;
    StopSignal stop_;

    std::atomic<std::size_t> parallelLimit_;
    std::atomic<int> attempts_{1};

    // Written on the worker thread before a hand-over, read during it.
    std::size_t FCurrent = 0;
    bool FHostUp = false;
    std::optional<LossCause> FCause;
    std::chrono::steady_clock::time_point FChangedAt;
    // Each entry's round trip while reachable, gathered on the worker thread
    // and put into the list in the cycle's last hand-over.
    std::vector<std::optional<std::chrono::microseconds>> roundTrips_;
    // The hint on ICMP permission is given once a run, worker thread only.
    bool icmpHintGiven_ = false;

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
