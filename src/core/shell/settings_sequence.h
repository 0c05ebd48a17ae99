#pragma once

#include <optional>
#include <string>

#include "core/config/settings.h"

namespace pelmora {

class HostList;
class TCheckHosts;

// What the settings dialog edits: every setting, and whether the program
// starts at login.
struct SettingsChoice {
    Settings settings;
    bool startAtLogin = false;

    bool operator==(const SettingsChoice&) const = default;
};

// What the Settings command asks of the windows.
class SettingsFront {
public:
    SettingsFront() = default;
    SettingsFront(const SettingsFront&) = delete;
    SettingsFront& operator=(const SettingsFront&) = delete;
    virtual ~SettingsFront() = default;

    // Shows the settings dialog modally with these values; the edited values
    // on OK, nothing on Cancel or when the dialog was closed. The dialog is
    // gone when this returns.
    virtual std::optional<SettingsChoice> EditSettings(const SettingsChoice& values) = 0;
    // Puts every value but the host list into effect: the pop-up font, the
    // timers, the worker's limits, the report style.
    virtual void ApplySettings(const Settings& settings) = 0;
    // Translates the windows again into the current language.
    virtual void Retranslate() = 0;
    virtual void ShowError(const std::string& message) = 0;
};

// The tray menu's Settings command. Fills the dialog from the running
// program; on OK replaces the host list (every entry Down) and every other
// value while the worker is held, saves them with the current language and
// applies Start at login; a failed save is reported, the new values stay in
// effect. On Cancel only the language is read back from the settings file
// and the windows translated again. One dialog at a time: while one is open
// the command does nothing. Any error is shown and leaves the command
// usable.
class SettingsSequence {
public:
    // `running` holds the values in effect apart from the host list.
    SettingsSequence(HostList& hosts, const Settings& running, SettingsFront& front);

    void SetWorker(TCheckHosts* worker) { worker_ = worker; }
    bool IsOpen() const { return open_; }

    void Run();

private:
    // The messages of a failed save or login entry, if any.
    std::optional<std::string> Apply(const SettingsChoice& choice);

    HostList& hosts_;
    const Settings& running_;
    SettingsFront& front_;
    TCheckHosts* worker_ = nullptr;
    bool open_ = false;
};

} // namespace pelmora
