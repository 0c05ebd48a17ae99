#include "gui/shell/settings_command.h"

#include <QPointer>

#include <exception>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "core/base/app_paths.h"
#include "core/config/autostart_entry.h"
#include "core/config/ini_file.h"
#include "core/config/proxy_record.h"
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
    dialog.SelectPage(0);
    const HostList& hosts = frmMain.Hosts();
    for (std::size_t index = 0; index < hosts.Count(); ++index) {
        const HostEntry& entry = *hosts.At(index);
        // A proxy text without a usable port shows as no proxy.
        std::optional<TProxyRecord> proxy;
        if (!entry.Proxy().empty()) {
            proxy = ProxyRecordFromText(entry.Proxy());
        }
        dialog.AddHostLine(entry.Target(), proxy);
    }
    dialog.SetPopUpInterval(frmMain.PopUpInterval());
    dialog.SetCheckPeriod(frmMain.CheckPeriod());
    dialog.SetParallelChecks(frmMain.ParallelChecks());
    dialog.SetAttempts(frmMain.Attempts());
    dialog.SetReportStyle(frmMain.ReportStyle());
    dialog.SetPopUpFont(frmMain.Font());
    dialog.SetLanguageText(CurrentLanguage());
    dialog.SetStartAtLogin(ReadAutostart(AutostartFilePath(ConfigHome()), ExecutablePath()).on);
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
    HostList& hosts = frmMain.Hosts();
    hosts.Clear();
    for (int row = 0; row < dialog.HostLineCount(); ++row) {
        const std::optional<TProxyRecord> proxy = dialog.HostLineProxy(row);
        hosts.Append(dialog.HostLineText(row), proxy ? ProxyText(*proxy) : std::string());
    }
    frmMain.SetFont(dialog.ChooserFont());
    frmMain.SetPopUpInterval(dialog.PopUpInterval());
    frmMain.SetCheckPeriod(dialog.CheckPeriod());
    frmMain.SetParallelChecks(dialog.ParallelChecks());
    frmMain.SetAttempts(dialog.Attempts());
    frmMain.SetReportStyle(dialog.ReportStyle());
    std::optional<std::string> failure;
    try {
        const SettingsLocation files = SettingsFiles();
        SaveSettings(frmMain, CurrentLanguage(), files.write, files.read);
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
