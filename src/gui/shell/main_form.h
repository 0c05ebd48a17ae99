#pragma once

#include <QWidget>

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/config/settings.h"
#include "core/monitor/hosts/host_list.h"
#include "core/monitor/probing/cycle_prober.h"
#include "core/monitor/worker/check_hosts.h"
#include "core/shell/settings_sequence.h"
#include "core/shell/tray_controller.h"
#include "gui/config/settings_dialog.h"
#include "gui/shell/image_list.h"
#include "gui/shell/qt_hand_over.h"

class QAction;
class QMenu;
class QPlainTextEdit;
class QSystemTrayIcon;

namespace pelmora {

class AppTimer;
class DesktopNotifier;
class TfrmLog;
class TrayStatus;

// The tray program's main window and, at the same time, the pop-up report
// window near the notification area. It owns the host list (shown in the
// tray menu's "Hosts state" submenu), the check worker, the check and hide
// timers, and the tray icon with its menu; what the commands decide is the
// tray controller's and the Settings command's.
class TfrmMain final : public QWidget,
                       public PopUpFontTarget,
                       public TrayView,
                       public SettingsFront,
                       private HostListObserver {
public:
    // The worker probes through `prober`, which outlives the form.
    explicit TfrmMain(CycleProber& prober);
    ~TfrmMain() override;
    TfrmMain(const TfrmMain&) = delete;
    TfrmMain& operator=(const TfrmMain&) = delete;

    // Loads the settings and starts the worker; its first cycle begins at
    // once and reports once the event loop runs. Without a notification area
    // yet, it waits for one (TrayWait) and meanwhile checks all the same.
    void FormCreate(TfrmLog* log);

    // How FormCreate looks for a notification area; tests ask a stand-in.
    void SetTrayWatch(std::function<bool()> available, std::chrono::milliseconds patience);

    HostList& Hosts() { return hosts_; }
    const HostList& Hosts() const { return hosts_; }

    // The settings in effect, apart from the host list: what the dialog's
    // font button chose is in effect at once.
    const Settings& RunningSettings() const { return settings_; }
    // SettingsFront. The hide and check timers restart their countdown only
    // when their interval changes.
    std::optional<SettingsChoice> EditSettings(const SettingsChoice& values) override;
    void ApplySettings(const Settings& settings) override;
    void Retranslate() override;
    void ShowError(const std::string& message) override;

    // PopUpFontTarget
    PopUpFont Font() const override { return settings_.font; }
    void SetFont(const PopUpFont& font) override;

    // TrayView
    void SetCheckTimerEnabled(bool enabled) override;
    void ShowStartStop(const StartStopLook& item) override;
    void AppendLogLine(const std::string& line) override;
    void PresentReport(const std::string& text, ReportChannels channels) override;
    bool BalloonByTray() const override;

    // Where the worker's results go.
    TrayController& Tray() { return tray_; }

    // Commands of the tray menu.
    void miStartClick();
    void trmAskTimer();
    void miSettingsClick();
    void miLogClick();
    void miHelpClick();
    void miQuitClick();
    void memReportClick();
    void tmrHideTimer();

    // The running copy's answer to a second copy being started.
    void BringToFront();

    bool IsRunning() const;
    QMenu* TrayMenu() const { return pmMain_; }
    QAction* StartStopAction() const { return miStart_; }
    QAction* AboutAction() const { return miAbout_; }
    QMenu* HostStateMenu() const { return miHoststate_; }
    QSystemTrayIcon* TrayIcon() const { return spTrayIcon1_; }
    QPlainTextEdit* ReportMemo() const { return memReport_; }
    AppTimer* AskTimer() const { return trmAsk_; }
    AppTimer* HideTimer() const { return tmrHide_; }
    TCheckHosts* Worker() const { return worker_.get(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void HostListReset() override;
    void HostAppended(std::size_t index) override;
    void HostStateChanged(std::size_t index) override;
    void HostRoundTripChanged(std::size_t index) override;

    void BuildMenu();
    void BuildTray();
    void EnterTray();
    void FallBackToLogWindow();
    void SetStartImage(MainImage image);
    void PlacePopUp();

    HostList hosts_;
    Settings settings_;
    DesktopNotifier* notifier_ = nullptr;

    QMenu* pmMain_ = nullptr;
    QAction* miStart_ = nullptr;
    QMenu* miHoststate_ = nullptr;
    QAction* miLog_ = nullptr;
    QAction* miSettings_ = nullptr;
    QAction* miHelp_ = nullptr;
    QAction* miAbout_ = nullptr;
    QAction* miQuit_ = nullptr;
    QSystemTrayIcon* spTrayIcon1_ = nullptr;
    TrayStatus* trayStatus_ = nullptr;
    AppTimer* trmAsk_ = nullptr;
    AppTimer* tmrHide_ = nullptr;
    QPlainTextEdit* memReport_ = nullptr;
    TfrmLog* frmLog_ = nullptr;
    std::function<bool()> trayAvailable_;
    std::chrono::milliseconds trayPatience_;
    TrayController tray_;
    SettingsSequence settingsCommand_;

    // The probes of the worker's cycles, used by the worker thread only.
    CycleProber& prober_;
    QtHandOver handOver_;
    std::unique_ptr<TCheckHosts> worker_;
};

} // namespace pelmora
