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

#include "core/app/check_options.h"
#include "core/app/host_listing.h"
#include "core/base/app_paths.h"
#include "core/base/raise_descriptor_limit.h"
#include "core/config/settings.h"
#include "core/i18n/languages.h"
#include "core/monitor/check_hosts.h"
#include "core/monitor/engine/probe_engine.h"
#include "core/monitor/hand_over_queue.h"
#include "core/monitor/net/privileges.h"
#include "core/monitor/round_trip_text.h"

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

const char* KindName(HostKind kind)
{
    return kind == HostKind::HTTP ? "HTTP" : (kind == HostKind::LAN ? "LAN" : "IP");
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

    PlainSettings settings;
    LoadSettings(settings, SettingsFilePath());
    LoadLanguageName();
    if (options.language) {
        SetCurrentLanguage(*options.language);
    }

    if (options.list) {
        if (!options.quiet) {
            std::cout << DescribeHostList(settings.Hosts());
        }
        return 0;
    }

    HandOverQueue handOver;
    Interruption interruption(handOver);
    ConsoleSink sink(options.quiet);
    ProbeEngine prober;
    std::mutex traceMutex;
    CheckHostsLinks links{settings.Hosts(), prober, handOver, sink, MessageText};
    if (options.verbose) {
        links.onProbe = [&traceMutex](const ProbeOutcome& outcome) {
            const std::lock_guard lock(traceMutex);
            std::string detail = outcome.detail;
            for (char& c : detail) {
                c = (c == '\r' || c == '\n') ? ' ' : c;
            }
            std::cerr << KindName(outcome.kind) << ' ' << outcome.target << ": "
                      << (outcome.reachable ? "up" : "down")
                      << (detail.empty() ? "" : " (" + detail + ")")
                      << (outcome.roundTrip
                              ? " " + RoundTripMilliseconds(*outcome.roundTrip) + " ms"
                              : "")
                      << '\n';
        };
    }
    // The command line wins over the settings file.
    const std::size_t parallelChecks = options.parallelChecks.value_or(settings.ParallelChecks());
    TCheckHosts worker(std::move(links));
    worker.SetParallelLimit(parallelChecks);
    worker.SetAttempts(options.attempts.value_or(settings.Attempts()));
    if (options.verbose) {
        std::cerr << "hosts checked at the same time: " << parallelChecks << '\n';
    }

    const int interval = options.intervalMs.value_or(std::max(settings.CheckPeriod(), 0));
    for (int cycle = 0; cycle < options.cycles && !interruption.Raised(); ++cycle) {
        if (cycle > 0 && !interruption.Sleep(std::chrono::milliseconds(interval))) {
            break;
        }
        worker.Wake();
        handOver.ServeUntil([&] { return worker.IsAsleep() || interruption.Raised(); });
    }
    if (interruption.Raised()) {
        worker.Stop();
        return 130;
    }
    worker.Stop();
    return AllUp(settings.Hosts()) ? 0 : 1;
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
