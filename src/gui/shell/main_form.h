#pragma once

#include <QWidget>

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "core/config/settings.h"
#include "core/monitor/engine/probe_engine.h"
#include "core/monitor/hosts/host_list.h"
#include "core/monitor/worker/check_hosts.h"
#include "core/monitor/worker/check_sink.h"
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

// The controller of the whole program and, at the same time, the pop-up
// report window near the notification area. It owns the host list (shown in
// the tray menu's "Hosts state" submenu), the check worker with its probes,
// the check and hide timers, and the tray icon with its menu.
class TfrmMain final : public QWidget,
                       public PopUpFontTarget,
                       public CheckSink,
                       private HostListObserver {
public:
    TfrmMain();
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
    // Puts every value but the host list into effect: the pop-up font, the
    // hide and check timers (each restarts its countdown only when its
    // interval changes), the worker's limits and the report style.
    void ApplySettings(const Settings& settings);

    // PopUpFontTarget
    PopUpFont Font() const override { return settings_.font; }
    void SetFont(const PopUpFont& font) override;

    // CheckSink, on the user-interface thread
    void AppendLogLine(const std::string& line) override;
    void ShowReport(const std::string& report) override;
    void IcmpNotPermitted(const std::string& hint) override;

    // Commands of the tray menu.
    void miStartClick();
    void trmAskTimer();
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
    bool BalloonByTray() const;

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
    MainImage startImage_ = MainImage::Stop;
    // The ICMP permission hint, until a report of the run has carried it.
    std::string pendingNotice_;
    std::function<bool()> trayAvailable_;
    std::chrono::milliseconds trayPatience_;

    // The probes of the worker's cycles, used by the worker thread only.
    ProbeEngine prober_;
    QtHandOver handOver_;
    std::unique_ptr<TCheckHosts> worker_;
};

} // namespace pelmora
