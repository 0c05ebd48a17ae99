#pragma once

#include <cstdint>
#include <string>

#include "core/config/settings.h"
#include "core/monitor/worker/check_sink.h"
#include "core/shell/main_image.h"
#include "core/shell/report_channels.h"

namespace pelmora {

class HostList;
class TCheckHosts;

// The Start/Stop item as the tray menu shows it: its picture in the main
// image list and the message key of its caption.
struct StartStopLook {
    MainImage image = MainImage::Stop;
    const char* captionKey = "";
};
inline constexpr StartStopLook kOfferStop{MainImage::Stop, "Stop"};
inline constexpr StartStopLook kOfferStart{MainImage::Start, "Start"};

// What the tray program's windows do when the controller has decided.
class TrayView {
public:
    TrayView() = default;
    TrayView(const TrayView&) = delete;
    TrayView& operator=(const TrayView&) = delete;
    virtual ~TrayView() = default;

    virtual void SetCheckTimerEnabled(bool enabled) = 0;
    virtual void ShowStartStop(const StartStopLook& item) = 0;
    virtual void AppendLogLine(const std::string& line) = 0;
    // `text` has "\n" between its lines and none at its end.
    virtual void PresentReport(const std::string& text, ReportChannels channels) = 0;
    // Whether a balloon can stand by the tray icon now.
    virtual bool BalloonByTray() const = 0;
};

// The tray program's state and what its commands do, below the windows:
// running or stopped, the check tick, and what the worker reports. The
// program starts running.
class TrayController final : public CheckSink {
public:
    TrayController(HostList& hosts, TrayView& view);

    // The worker made at start; until then nothing is woken.
    void SetWorker(TCheckHosts* worker) { worker_ = worker; }
    void SetReportStyle(ReportStyle style) { reportStyle_ = style; }

    bool IsRunning() const { return running_; }
    StartStopLook Item() const { return running_ ? kOfferStop : kOfferStart; }

    // Start: the check timer on and the worker woken, so a cycle starts at
    // once if it was asleep. Stop: the timer off and every host Down; a
    // cycle under way runs to its end.
    void StartStop();
    // A tick that finds the worker in a cycle is dropped.
    void CheckTick();

    // CheckSink, on the user-interface thread.
    void AppendLogLine(const std::string& line) override;
    void ShowReport(const std::string& report) override;
    // Said in the log and at once in a report of its own; the next report
    // of the run still carries it on top, so a report that follows within
    // the same cycle does not hide it.
    void IcmpNotPermitted(const std::string& hint) override;

private:
    HostList& hosts_;
    TrayView& view_;
    TCheckHosts* worker_ = nullptr;
    ReportStyle reportStyle_ = ReportStyle::Automatic;
    bool running_ = true;
    // The ICMP permission hint, until a report of the run has carried it.
    std::string pendingHint_;
};

} // namespace pelmora
