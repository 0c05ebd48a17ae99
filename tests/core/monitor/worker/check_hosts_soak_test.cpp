// Months in the tray, compressed: the real worker runs cycle after cycle over
// a list whose hosts keep coming and going, with the list rebuilt as a
// confirmed Settings dialog does and all hosts set down as Stop/Start does.
// Memory, descriptors and threads must stay where they were after warm-up,
// and every change must be logged and reported exactly once.

#include <gtest/gtest.h>

#include <dirent.h>

#include <atomic>
#include <charconv>
#include <cstddef>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/monitor/worker/check_hosts.h"
#include "core/monitor/worker/hand_over_queue.h"
#include "support/scripted_prober.h"

#if defined(__SANITIZE_ADDRESS__)
#define PELMORA_SOAK_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PELMORA_SOAK_UNDER_ASAN 1
#endif
#endif

namespace pelmora {
namespace {

// The address sanitizer keeps freed memory in quarantine, so resident memory
// says nothing there (its leak check at exit covers leaks).
#ifdef PELMORA_SOAK_UNDER_ASAN
constexpr bool kMeasureMemory = false;
#else
constexpr bool kMeasureMemory = true;
#endif
// A fifth of that in an instrumented build (see tests/CMakeLists.txt): still
// thousands of cycles, hundreds of flips per host and several rebuilds.
constexpr long kCycles = 100'000 / PELMORA_SOAK_DIVISOR;
constexpr std::size_t kEntries = 100;
constexpr long kWarmUpCycles = kCycles / 20;
constexpr long kRebuildEvery = 997;
constexpr long kAllDownEvery = 1499;
constexpr long kResidentGrowthLimitKb = 2048;

// Entry i answers in runs of 10 + i cycles, shifted by i, so some host flips
// in nearly every cycle and each flips hundreds of times over the run.
bool Reachable(long cycle, std::size_t index)
{
    const long i = static_cast<long>(index);
    return ((cycle + i) / (10 + i)) % 2 == 0;
}

// The entry number is the first run of digits in whatever name a probe gets.
std::size_t IndexIn(std::string_view name)
{
    const auto digit = name.find_first_of("0123456789");
    std::size_t index = 0;
    std::from_chars(name.data() + digit, name.data() + name.size(), index);
    return index;
}

struct Clock {
    std::atomic<long> cycle{0};
    bool Answers(std::string_view name) const
    {
        return Reachable(cycle.load(std::memory_order_relaxed), IndexIn(name));
    }
};

struct Counts {
    long appeared = 0;
    long lost = 0;
    long reports = 0;
    bool operator==(const Counts&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Counts& c)
{
    return out << c.appeared << " appeared, " << c.lost << " lost, " << c.reports << " reports";
}

class CountingSink final : public CheckSink {
public:
    void AppendLogLine(const std::string& line) override
    {
        (line.find("AppearHost ") != std::string::npos ? counts.appeared : counts.lost)++;
    }
    void ShowReport(const std::string&) override { counts.reports++; }
    Counts counts;
};

// What the user would see: one line per change, one report per cycle with a
// change, given the states the list starts the cycle with.
struct Model {
    std::vector<bool> up = std::vector<bool>(kEntries, false);
    Counts counts;

    void Cycle(long cycle)
    {
        bool changed = false;
        for (std::size_t i = 0; i < kEntries; ++i) {
            const bool now = Reachable(cycle, i);
            if (now != up[i]) {
                (now ? counts.appeared : counts.lost)++;
                up[i] = now;
                changed = true;
            }
        }
        counts.reports += changed ? 1 : 0;
    }
    void AllDown() { up.assign(kEntries, false); }
};

void FillList(HostList& hosts)
{
    for (std::size_t i = 0; i < kEntries; ++i) {
        const std::string n = std::to_string(i);
        switch (i % 4) {
        case 0: hosts.Append("host-" + n, ""); break;
        case 1: hosts.Append("//pc-" + n, ""); break;
        case 2: hosts.Append("http://web-" + n + "/", ""); break;
        default: hosts.Append("http://web-" + n + "/", "proxy:3128"); break;
        }
    }
}

struct Usage {
    long residentKb = 0;
    long fds = 0;
    long threads = 0;
};

long EntriesIn(const char* folder)
{
    DIR* dir = ::opendir(folder);
    long count = 0;
    while (const dirent* entry = ::readdir(dir)) {
        count += entry->d_name[0] == '.' ? 0 : 1;
    }
    ::closedir(dir);
    return count;
}

Usage Measure()
{
    Usage usage;
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with("VmRSS:")) {
            std::istringstream(line.substr(6)) >> usage.residentKb;
        }
    }
    // Less one for the descriptor that lists the folder.
    usage.fds = EntriesIn("/proc/self/fd") - 1;
    usage.threads = EntriesIn("/proc/self/task");
    return usage;
}

TEST(CheckHostsSoak, FlappingHostsWithRebuildsAndRestartsStayFlat)
{
    Clock clock;
    HostList hosts;
    // Answers at once from the pattern and keeps no record. The probe
    // started last ends first, so every cycle's answers come back out of
    // list order and the worker has to hold them until their turn.
    test::ScriptedProber prober(
        [&clock](const ProbeJob& job) {
            return clock.Answers(test::ProbedName(job)) ? test::Answer::Up : test::Answer::Down;
        },
        test::ScriptedProber::Order::LastFirst);
    HandOverQueue handOver;
    CountingSink sink;
    CheckHostsLinks links = test::ScriptedLinks(hosts, prober, handOver, sink);
    links.timeOfDay = [] { return std::string("9:05:07"); };
    TCheckHosts worker(std::move(links));
    FillList(hosts);
    // Half the list in flight at a time: answers wait both for probes still
    // running and for the ones before them.
    worker.SetParallelLimit(kEntries / 2);
    Model model;
    Usage before;

    for (long cycle = 0; cycle < kCycles; ++cycle) {
        if (cycle == kWarmUpCycles) {
            before = Measure();
        }
        if (cycle % kRebuildEvery == kRebuildEvery - 1) {
            worker.Hold();
            hosts.Clear();
            FillList(hosts);
            worker.Release();
            model.AllDown();
        } else if (cycle % kAllDownEvery == kAllDownEvery - 1) {
            hosts.SetAllDown();
            model.AllDown();
        }
        clock.cycle.store(cycle, std::memory_order_relaxed);
        worker.Wake();
        handOver.ServeUntil([&] { return worker.IsAsleep(); });
        model.Cycle(cycle);
    }
    const Usage after = Measure();

    EXPECT_EQ(sink.counts, model.counts);
    EXPECT_GT(model.counts.lost, kCycles / 2) << "the pattern hardly flaps";
    EXPECT_EQ(after.fds, before.fds);
    EXPECT_EQ(after.threads, before.threads);
    if (kMeasureMemory) {
        EXPECT_LE(after.residentKb - before.residentKb, kResidentGrowthLimitKb)
            << "from " << before.residentKb << " kB to " << after.residentKb << " kB";
    }
    RecordProperty("cycles", std::to_string(kCycles));
    RecordProperty("resident_kb",
                   std::to_string(before.residentKb) + "->" + std::to_string(after.residentKb));
    RecordProperty("fds", std::to_string(before.fds) + "->" + std::to_string(after.fds));
    RecordProperty("threads",
                   std::to_string(before.threads) + "->" + std::to_string(after.threads));
}

} // namespace
} // namespace pelmora
