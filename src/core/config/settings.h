#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "core/monitor/hosts/host_list.h"
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

// The values "ParallelChecks" may take; the settings file, the dialog and
// pelmora-check all keep to them.
inline constexpr std::size_t kMinParallelChecks = 1;
inline constexpr std::size_t kMaxParallelChecks = 100000;

constexpr bool IsParallelChecksInRange(std::int64_t count)
{
    return count >= static_cast<std::int64_t>(kMinParallelChecks) &&
           count <= static_cast<std::int64_t>(kMaxParallelChecks);
}

// The values "Attempts" may take: how many failed probes in a row make an Up
// host Down. 1 believes the first failure.
inline constexpr std::int32_t kMinAttempts = 1;
inline constexpr std::int32_t kMaxAttempts = 10;
inline constexpr std::int32_t kDefaultAttempts = 1;

constexpr bool IsAttemptsInRange(std::int64_t count)
{
    return count >= kMinAttempts && count <= kMaxAttempts;
}

// Where an end-of-cycle report is shown ("ReportStyle" of "View"): the
// balloon by the tray, a desktop notification, or both. Automatic shows the
// balloon where it can stand by a tray icon and a notification elsewhere.
enum class ReportStyle : std::int32_t {
    Automatic = 0,
    Balloon = 1,
    Notification = 2,
    Both = 3,
};

// Where the settings come from and go to: the running program's host list,
// pop-up font and timers, or a plain holder for the console front-end.
class SettingsHolder {
public:
    virtual ~SettingsHolder() = default;

    virtual HostList& Hosts() = 0;
    virtual const HostList& Hosts() const = 0;
    virtual PopUpFont Font() const = 0;
    virtual void SetFont(const PopUpFont& font) = 0;
    virtual std::int32_t CheckPeriod() const = 0;
    virtual void SetCheckPeriod(std::int32_t milliseconds) = 0;
    virtual std::int32_t PopUpInterval() const = 0;
    virtual void SetPopUpInterval(std::int32_t milliseconds) = 0;
    // How many hosts of a cycle are checked at the same time.
    virtual std::size_t ParallelChecks() const = 0;
    virtual void SetParallelChecks(std::size_t count) = 0;
    // How many failed probes in a row make an Up host Down.
    virtual std::int32_t Attempts() const = 0;
    virtual void SetAttempts(std::int32_t count) = 0;
    virtual pelmora::ReportStyle ReportStyle() const = 0;
    virtual void SetReportStyle(pelmora::ReportStyle style) = 0;
};

// Fills the holder from the file: every key of "HostList" in file order is
// one entry (Down), then the font, the two intervals and the number of
// parallel checks. A missing file, section or key, or a value that is no
// number, gives the default; so does a number of parallel checks outside
// kMinParallelChecks..kMaxParallelChecks, a number of attempts outside
// kMinAttempts..kMaxAttempts, and a report style that names none.
void LoadSettings(SettingsHolder& holder, const std::filesystem::path& file);

// Writes the holder's values and the language into the file, all or nothing;
// keys and sections the program does not know stay, taken from `basis` when
// one is given (the file the settings were read from, when the save goes to
// another). Throws SettingsWriteError ("Unable to write to <path>") with the
// file unchanged.
void SaveSettings(const SettingsHolder& holder, const std::string& language,
                  const std::filesystem::path& file, const std::filesystem::path& basis = {});

// A holder that only keeps the values.
class PlainSettings final : public SettingsHolder {
public:
    HostList& Hosts() override { return hosts_; }
    const HostList& Hosts() const override { return hosts_; }
    PopUpFont Font() const override { return font_; }
    void SetFont(const PopUpFont& font) override { font_ = font; }
    std::int32_t CheckPeriod() const override { return checkPeriod_; }
    void SetCheckPeriod(std::int32_t milliseconds) override { checkPeriod_ = milliseconds; }
    std::int32_t PopUpInterval() const override { return popUpInterval_; }
    void SetPopUpInterval(std::int32_t milliseconds) override { popUpInterval_ = milliseconds; }
    std::size_t ParallelChecks() const override { return parallelChecks_; }
    void SetParallelChecks(std::size_t count) override { parallelChecks_ = count; }
    std::int32_t Attempts() const override { return attempts_; }
    void SetAttempts(std::int32_t count) override { attempts_ = count; }
    pelmora::ReportStyle ReportStyle() const override { return reportStyle_; }
    void SetReportStyle(pelmora::ReportStyle style) override { reportStyle_ = style; }

private:
    HostList hosts_;
    PopUpFont font_;
    std::int32_t checkPeriod_ = 60000;
    std::int32_t popUpInterval_ = 5000;
    std::size_t parallelChecks_ = kDefaultParallelChecks;
    std::int32_t attempts_ = kDefaultAttempts;
    pelmora::ReportStyle reportStyle_ = ReportStyle::Automatic;
};

} // namespace pelmora
