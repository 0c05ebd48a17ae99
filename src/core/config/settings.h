#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/monitor/probing/parallel_checks.h"

namespace pelmora {

// The pop-up report's font as the settings file keeps it. Underline and
// strike-out live only for the run.
struct PopUpFont {
    std::string name = "MS Sans Serif";
    std::int32_t size = 10; // points
    std::int32_t color = 0; // 0x00BBGGRR
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;

    bool operator==(const PopUpFont&) const = default;
};

// Where an end-of-cycle report is shown ("ReportStyle" of "View"): the
// balloon by the tray, a desktop notification, or both. Automatic shows the
// balloon where it can stand by a tray icon and a notification elsewhere.
enum class ReportStyle : std::int32_t {
    Automatic = 0,
    Balloon = 1,
    Notification = 2,
    Both = 3,
};

// One host as the settings file keeps it: the target and its proxy text
// (empty for none).
struct HostLine {
    std::string target;
    std::string proxy;

    bool operator==(const HostLine&) const = default;
};

// Every setting the user can change, read and written as a whole. The
// defaults are those of a missing file; the keys, their bounds and their
// encodings are the rows of the table in setting_keys.cpp.
struct Settings {
    std::vector<HostLine> hosts;
    PopUpFont font;
    std::int32_t checkPeriod = 60000;  // ms, interval of the check timer
    std::int32_t popUpInterval = 5000; // ms, how long a report stays
    // How many hosts of a cycle are checked at the same time.
    std::size_t parallelChecks = kDefaultParallelChecks;
    // How many failed probes in a row make an Up host Down.
    std::int32_t attempts = 1;
    pelmora::ReportStyle reportStyle = ReportStyle::Automatic;
    // The language name a save writes; the running language is read by
    // LoadLanguageName, from the file named after the executable.
    std::string language = "English";

    bool operator==(const Settings&) const = default;
};

// Reads every key of the table from the file: every key of "HostList" in
// file order is one host line. A missing file, section or key, a value that
// is no number where one is wanted, or a number outside the key's bounds,
// gives the key's default.
Settings LoadSettings(const std::filesystem::path& file);

// Writes the whole value into the file, all or nothing; keys and sections the
// program does not know stay, taken from `basis` when one is given (the file
// the settings were read from, when the save goes to another). Throws
// SettingsWriteError ("Unable to write to <path>") with the file unchanged.
void SaveSettings(const Settings& settings, const std::filesystem::path& file,
                  const std::filesystem::path& basis = {});

} // namespace pelmora
