#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace pelmora {

// Command line of pelmora-check.
struct CheckOptions {
    std::filesystem::path config; // empty: the settings file the tray program uses
    std::optional<std::string> language;
    int cycles = 1;
    std::optional<int> intervalMs;             // empty: the settings file's check period
    std::optional<std::size_t> parallelChecks; // empty: the settings file's ParallelChecks
    std::optional<int> attempts;               // empty: the settings file's Attempts
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

std::string CheckUsage();

} // namespace pelmora
