// pelmora-check: the check worker and probes of the tray program, driven
// from a terminal, a script or cron.
#include <pthread.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <mutex>
#include <thread>
#include <vector>

#include "core/app/check_options.h"
#include "core/app/cycle_report.h"
#include "core/app/cycle_report_json.h"
#include "core/app/cycle_report_metrics.h"
#include "core/app/host_listing.h"
#include "core/base/app_paths.h"
#include "core/base/atomic_file.h"
#include "core/base/raise_descriptor_limit.h"
#include "core/config/host_lines.h"
#include "core/config/settings.h"
#include "core/i18n/languages.h"
#include "core/monitor/engine/probe_engine.h"
#include "core/monitor/hosts/host_rules.h"
#include "core/monitor/net/privileges.h"
#include "core/monitor/report/round_trip_text.h"
#include "core/monitor/worker/check_hosts.h"
#include "core/monitor/worker/hand_over_queue.h"

namespace pelmora {
namespace {

// Lines and reports go to standard output as they happen, with plain line
// ends; the report's CR LF pairs are the pop-up's.
class ConsoleSink final : public CheckSink {
public:
    explicit ConsoleSink(bool quiet) : quiet_(quiet) {}

    void AppendLogLine(const std::string& line) override
    {
        if (!quiet_) {
            std::cout << line << '\n' << std::flush;
        }
    }

    // Always said, on standard error: without it every IP entry is simply
    // down and a script cannot tell why.
    void IcmpNotPermitted(const std::string& hint) override { std::cerr << hint << '\n'; }

    void ShowReport(const std::string& report) override
    {
        if (quiet_) {
            return;
        }
        std::string text;
        for (std::size_t i = 0; i < report.size(); ++i) {
            if (report[i] == '\r' && i + 1 < report.size() && report[i + 1] == '\n') {
                continue;
            }
            text += report[i];
        }
        if (!text.ends_with('\n')) {
            text += '\n';
        }
        std::cout << text << '\n' << std::flush;
    }

private:
    bool quiet_;
};

// Ctrl+C and termination requests, taken by a thread of their own so the
// main thread can be told at whatever it is waiting for.
class Interruption {
public:
    explicit Interruption(HandOver& handOver) : handOver_(handOver)
    {
        sigemptyset(&signals_);
        sigaddset(&signals_, SIGINT);
        sigaddset(&signals_, SIGTERM);
        sigaddset(&signals_, SIGHUP);
        // Blocked here, before any other thread exists, so every thread
        // inherits the mask and only the watcher takes these signals.
        pthread_sigmask(SIG_BLOCK, &signals_, nullptr);
        watcher_ = std::thread([this] { Watch(); });
    }
    Interruption(const Interruption&) = delete;
    Interruption& operator=(const Interruption&) = delete;

    ~Interruption()
    {
        pthread_kill(watcher_.native_handle(), SIGHUP);
        watcher_.join();
    }

    bool Raised() const { return raised_.load(); }

    // Waits up to `span`; returns false when interrupted.
    bool Sleep(std::chrono::milliseconds span)
    {
        std::unique_lock lock(mutex_);
        return !wake_.wait_for(lock, span, [this] { return raised_.load() || closing_; });
    }

private:
    void Watch()
    {
        int signal = 0;
        sigwait(&signals_, &signal);
        {
            const std::lock_guard lock(mutex_);
            if (signal == SIGHUP && !raised_) {
                closing_ = true;
            } else {
                raised_ = true;
            }
        }
        wake_.notify_all();
        handOver_.Notify();
    }

    HandOver& handOver_;
    sigset_t signals_{};
    std::atomic<bool> raised_{false};
    bool closing_ = false;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::thread watcher_;
};

bool Readable(const std::filesystem::path& file, std::string* why)
{
    std::error_code error;
    if (!std::filesystem::exists(file, error)) {
        *why = "no such file";
        return false;
    }
    if (!std::filesystem::is_regular_file(file, error)) {
        *why = "not a regular file";
        return false;
    }
    if (!std::ifstream(file, std::ios::binary)) {
        *why = "cannot open it";
        return false;
    }
    return true;
}

bool AllUp(const HostList& hosts)
{
    for (std::size_t i = 0; i < hosts.Count(); ++i) {
        if (hosts.At(i)->State() != HostState::Up) {
            return false;
        }
    }
    return true;
}

std::vector<HostState> States(const HostList& hosts)
{
    std::vector<HostState> states;
    states.reserve(hosts.Count());
    for (std::size_t i = 0; i < hosts.Count(); ++i) {
        states.push_back(hosts.At(i)->State());
    }
    return states;
}

// The probes' outcomes in list order, with what the cycle made of them. The
// cause is the message key, not its text: scripts match it whatever the
// language.
CycleReport ReportCycle(const HostList& hosts, const std::vector<HostState>& before,
                        std::vector<ProbeOutcome> outcomes)
{
    CycleReport report{std::chrono::system_clock::now(), {}};
    for (std::size_t i = 0; i < outcomes.size() && i < hosts.Count(); ++i) {
        const HostEntry& entry = *hosts.At(i);
        ProbeOutcome& outcome = outcomes[i];
        const bool up = entry.State() == HostState::Up;
        report.hosts.push_back(CycleHost{
            entry.Target(), outcome.kind, entry.Proxy(), up, entry.State() != before[i],
            up ? outcome.roundTrip : std::nullopt, up || !outcome.cause ? "" : outcome.cause->key});
    }
    return report;
}

int Run(const CheckOptions& options)
{
    if (!options.config.empty()) {
        std::string why;
        if (!Readable(options.config, &why)) {
            std::cerr << "pelmora-check: cannot read " << options.config.string() << ": " << why
                      << '\n';
            return 2;
        }
        SetSettingsFilePath(options.config);
    }

    Settings settings = LoadSettings(SettingsFilePath());
    ApplyOverrides(options, settings);
    HostList hosts;
    ReplaceHostList(hosts, settings.hosts);
    LoadLanguageName();
    if (options.language) {
        SetCurrentLanguage(*options.language);
    }

    if (options.list) {
        if (!options.quiet) {
            std::cout << DescribeHostList(hosts);
        }
        return 0;
    }

    HandOverQueue handOver;
    Interruption interruption(handOver);
    // The other formats take the place of the log lines and reports.
    const bool text = options.format == CheckFormat::Text;
    ConsoleSink sink(options.quiet || !text);
    ProbeEngine prober;
    std::mutex traceMutex;
    // Filled on the worker thread; read once the cycle has ended.
    std::vector<ProbeOutcome> outcomes;
    CheckHostsLinks links{hosts, prober, handOver, sink, MessageText};
    if (options.verbose || !text) {
        links.onProbe = [&traceMutex, &outcomes, &options, text](const ProbeOutcome& outcome) {
            const std::lock_guard lock(traceMutex);
            if (!text) {
                // The target is valid during the call only, and the report
                // takes it from the list.
                outcomes.push_back(outcome);
                outcomes.back().target = {};
            }
            if (!options.verbose) {
                return;
            }
            std::string detail = outcome.detail;
            for (char& c : detail) {
                c = (c == '\r' || c == '\n') ? ' ' : c;
            }
            std::cerr << HostKindName(outcome.kind) << ' ' << outcome.target << ": "
                      << (outcome.reachable ? "up" : "down")
                      << (detail.empty() ? "" : " (" + detail + ")")
                      << (outcome.roundTrip
                              ? " " + RoundTripMilliseconds(*outcome.roundTrip) + " ms"
                              : "")
                      << '\n';
        };
    }
    TCheckHosts worker(std::move(links));
    worker.SetParallelLimit(settings.parallelChecks);
    worker.SetAttempts(settings.attempts);
    if (options.verbose) {
        std::cerr << "hosts checked at the same time: " << settings.parallelChecks << '\n';
    }

    const int interval = options.intervalMs.value_or(std::max(settings.checkPeriod, 0));
    for (int cycle = 0; cycle < options.cycles && !interruption.Raised(); ++cycle) {
        if (cycle > 0 && !interruption.Sleep(std::chrono::milliseconds(interval))) {
            break;
        }
        const std::vector<HostState> before = States(hosts);
        worker.Wake();
        handOver.ServeUntil([&] { return worker.IsAsleep() || interruption.Raised(); });
        if (text || interruption.Raised()) {
            continue;
        }
        std::vector<ProbeOutcome> found;
        {
            const std::lock_guard lock(traceMutex);
            found.swap(outcomes);
        }
        const CycleReport report = ReportCycle(hosts, before, std::move(found));
        const std::string formatted = options.format == CheckFormat::Json
                                          ? CycleReportJson(report)
                                          : CycleReportMetrics(report);
        if (!options.output.empty()) {
            // A script or a collector must not go on with a stale file
            // unnoticed, so a failed write ends the run.
            const std::string why =
                ReplaceFileAtomically(options.output, formatted, NewFileMode::ReadableByAll);
            if (!why.empty()) {
                std::cerr << "pelmora-check: cannot write " << options.output.string() << ": "
                          << why << '\n';
                worker.Stop();
                return 2;
            }
        } else if (!options.quiet) {
            std::cout << formatted << std::flush;
        }
    }
    if (interruption.Raised()) {
        worker.Stop();
        return 130;
    }
    worker.Stop();
    return AllUp(hosts) ? 0 : 1;
}

} // namespace
} // namespace pelmora

int main(int argc, char** argv)
{
    // Before any thread exists, so that none starts with more than it needs.
    pelmora::DropPrivilegesExceptNetRaw();
    pelmora::RaiseDescriptorLimit();
    const pelmora::CheckOptionsResult parsed =
        pelmora::ParseCheckOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.error.empty()) {
        std::cerr << "pelmora-check: " << parsed.error << "\nTry 'pelmora-check --help'.\n";
        return 2;
    }
    if (parsed.options.help) {
        std::cout << pelmora::CheckUsage();
        return 0;
    }
    try {
        return pelmora::Run(parsed.options);
    } catch (const std::exception& error) {
        std::cerr << "pelmora-check: " << error.what() << '\n';
        return 2;
    }
}
