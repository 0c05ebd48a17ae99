// Loading and saving a settings file of 10,000 host entries. Goal: each
// well under 50 ms on a 2-core machine.
#include <benchmark/benchmark.h>

#include <string>

#include "core/config/settings.h"
#include "support/temp_dir.h"

namespace {

using pelmora::LoadSettings;
using pelmora::SaveSettings;
using pelmora::Settings;

constexpr int kHosts = 10000;

void FillHosts(Settings& settings)
{
    for (int i = 0; i < kHosts; ++i) {
        if (i % 3 == 0) {
            settings.hosts.push_back(
                {"http://web-" + std::to_string(i) + ".example/status", "proxy.example:3128"});
        } else {
            settings.hosts.push_back({"host-" + std::to_string(i) + ".example", ""});
        }
    }
}

void BM_LoadSettings10k(benchmark::State& state)
{
    pelmora::test::TempDir dir;
    Settings source;
    FillHosts(source);
    SaveSettings(source, dir / "Pelmora.ini");
    for (auto _ : state) {
        const Settings settings = LoadSettings(dir / "Pelmora.ini");
        benchmark::DoNotOptimize(settings.hosts.size());
    }
}
BENCHMARK(BM_LoadSettings10k)->Unit(benchmark::kMillisecond);

void BM_SaveSettings10k(benchmark::State& state)
{
    pelmora::test::TempDir dir;
    Settings settings;
    FillHosts(settings);
    SaveSettings(settings, dir / "Pelmora.ini");
    for (auto _ : state) {
        SaveSettings(settings, dir / "Pelmora.ini");
    }
}
BENCHMARK(BM_SaveSettings10k)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
