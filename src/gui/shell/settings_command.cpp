#include "gui/shell/settings_command.h"

#include <QPointer>

#include <exception>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "core/base/app_paths.h"
#include "core/config/autostart_entry.h"
#include "core/config/host_lines.h"
#include "core/config/ini_file.h"
#include "core/i18n/languages.h"
#include "gui/config/error_box.h"
#include "gui/config/settings_dialog.h"
#include "gui/i18n/form_translation.h"
#include "gui/shell/main_form.h"

namespace pelmora {
namespace {

QPointer<TfrmSettings> frmSettings;

// Keeps the worker out of a cycle for as long as it lives.
class WorkerHold {
public:
    explicit WorkerHold(TCheckHosts* worker) : worker_(worker)
    {
        if (worker_ != nullptr) {
            worker_->Hold();
        }
    }
    ~WorkerHold()
    {
        if (worker_ != nullptr) {
            worker_->Release();
        }
    }
    WorkerHold(const WorkerHold&) = delete;
    WorkerHold& operator=(const WorkerHold&) = delete;

private:
    TCheckHosts* worker_;
};

void FillDialog(TfrmSettings& dialog, const TfrmMain& frmMain)
{
    Settings running = frmMain.RunningSettings();
    running.hosts = HostLinesOf(frmMain.Hosts());
    running.language = CurrentLanguage();
    dialog.Fill(running, ReadAutostart(AutostartFilePath(ConfigHome()), ExecutablePath()).on);
}

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

// The list is replaced while no cycle runs and none can start, since the
// worker reads it without a lock and names entries by index. Returns the
// messages of a failed save or login entry; the new values stay in effect
// regardless.
std::optional<std::string> ApplyDialog(const TfrmSettings& dialog, TfrmMain& frmMain)
{
    const WorkerHold hold(frmMain.Worker());
    Settings edited = dialog.Edited();
    ReplaceHostList(frmMain.Hosts(), edited.hosts);
    frmMain.ApplySettings(edited);
    std::optional<std::string> failure;
    try {
        edited.language = CurrentLanguage();
        const SettingsLocation files = SettingsFiles();
        SaveSettings(edited, files.write, files.read);
    } catch (const SettingsWriteError& error) {
        failure = error.what();
    }
    if (const auto refused = ApplyStartAtLogin(dialog.StartAtLogin())) {
        failure = failure ? *failure + "\n\n" + *refused : *refused;
    }
    return failure;
}

} // namespace

void miSettingsClick(TfrmMain& frmMain)
{
    if (frmSettings) {
        return;
    }
    std::optional<std::string> failure;
    try {
        const auto dialog = std::make_unique<TfrmSettings>(&frmMain, frmMain);
        frmSettings = dialog.get();
        FillDialog(*dialog, frmMain);
        if (dialog->exec() == QDialog::Accepted) {
            failure = ApplyDialog(*dialog, frmMain);
        } else {
            LoadLanguageNameAndRetranslate();
        }
    } catch (const std::exception& error) {
        failure = error.what();
    }
    // The worker is released and the dialog gone before the user reads it.
    if (failure) {
        ShowErrorBox(nullptr, *failure);
    }
}

TfrmSettings* OpenSettingsDialog()
{
    return frmSettings.data();
}

} // namespace pelmora
