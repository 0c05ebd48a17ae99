#include "core/shell/settings_sequence.h"

#include <exception>
#include <filesystem>

#include "core/base/app_paths.h"
#include "core/config/autostart_entry.h"
#include "core/config/host_lines.h"
#include "core/config/ini_file.h"
#include "core/i18n/languages.h"
#include "core/shell/worker_hold.h"

namespace pelmora {
namespace {

// The login entry follows the box, unless it belongs to another copy of the
// program: that one is the user's to remove, and the message says where it is.
std::optional<std::string> ApplyStartAtLogin(bool on)
{
    const std::filesystem::path file = AutostartFilePath(ConfigHome());
    try {
        if (SetAutostart(file, ExecutablePath(), on) == AutostartChange::Refused) {
            return MessageText("AutostartElsewhere") + "\n" + file.string();
        }
    } catch (const SettingsWriteError& error) {
        return error.what();
    }
    return std::nullopt;
}

} // namespace

SettingsSequence::SettingsSequence(HostList& hosts, const Settings& running, SettingsFront& front)
    : hosts_(hosts), running_(running), front_(front)
{
}

void SettingsSequence::Run()
{
    if (open_) {
        return;
    }
    open_ = true;
    std::optional<std::string> failure;
    try {
        SettingsChoice values{running_,
                              ReadAutostart(AutostartFilePath(ConfigHome()), ExecutablePath()).on};
        values.settings.hosts = HostLinesOf(hosts_);
        values.settings.language = CurrentLanguage();
        if (const std::optional<SettingsChoice> edited = front_.EditSettings(values)) {
            failure = Apply(*edited);
        } else {
            LoadLanguageName();
            front_.Retranslate();
        }
    } catch (const std::exception& error) {
        failure = error.what();
    }
    open_ = false;
    // The worker is released and the dialog gone before the user reads it.
    if (failure) {
        front_.ShowError(*failure);
    }
}

// The list is replaced while no cycle runs and none can start, since the
// worker reads it without a lock and names entries by index.
std::optional<std::string> SettingsSequence::Apply(const SettingsChoice& choice)
{
    const WorkerHold hold(worker_);
    ReplaceHostList(hosts_, choice.settings.hosts);
    front_.ApplySettings(choice.settings);
    std::optional<std::string> failure;
    try {
        Settings saved = choice.settings;
        saved.language = CurrentLanguage();
        const SettingsLocation files = SettingsFiles();
        SaveSettings(saved, files.write, files.read);
    } catch (const SettingsWriteError& error) {
        failure = error.what();
    }
    if (const auto refused = ApplyStartAtLogin(choice.startAtLogin)) {
        failure = failure ? *failure + "\n\n" + *refused : *refused;
    }
    return failure;
}

} // namespace pelmora
