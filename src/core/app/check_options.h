#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace pelmora {

struct Settings;
struct SettingKey;

// A settings file value that the command line replaces for the run.
struct SettingOverride {
    const SettingKey* key = nullptr;
    std::int32_t value = 0;
};

// How pelmora-check tells what a cycle found: the log lines and reports, a
// JSON line, or the Prometheus text format.
enum class CheckFormat : std::uint8_t { Text, Json, OpenMetrics };

// Command line of pelmora-check.
struct CheckOptions {
    std::filesystem::path config; // empty: the settings file the tray program uses
    std::optional<std::string> language;
    int cycles = 1;
    std::optional<int> intervalMs; // empty: the settings file's check period
    // --parallel, --attempts: in the order given; a later one wins.
    std::vector<SettingOverride> overrides;
    CheckFormat format = CheckFormat::Text;
    std::filesystem::path output; // empty: standard output
    bool quiet = false;
    bool verbose = false;
    bool list = false;
    bool help = false;
};

// The options, or an error text for standard error.
struct CheckOptionsResult {
    CheckOptions options;
    std::string error;
};

CheckOptionsResult ParseCheckOptions(const std::vector<std::string>& arguments);

// The command line wins over the settings file.
void ApplyOverrides(const CheckOptions& options, Settings& settings);

std::string CheckUsage();

} // namespace pelmora
