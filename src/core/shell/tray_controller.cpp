#include "core/shell/tray_controller.h"

#include <string_view>

#include "core/monitor/hosts/host_list.h"
#include "core/monitor/report/time_of_day.h"
#include "core/monitor/worker/check_hosts.h"

namespace pelmora {
namespace {

// CR LF becomes the one line break the windows show, and a break at the
// very end starts no further line.
std::string ShownText(std::string_view report)
{
    std::string text;
    text.reserve(report.size());
    for (std::size_t i = 0; i < report.size(); ++i) {
        if (report[i] == '\r' && i + 1 < report.size() && report[i + 1] == '\n') {
            continue;
        }
        text += report[i];
    }
    if (!text.empty() && text.back() == '\n') {
        text.pop_back();
    }
    return text;
}

} // namespace

TrayController::TrayController(HostList& hosts, TrayView& view) : hosts_(hosts), view_(view) {}

void TrayController::StartStop()
{
    if (!running_) {
        running_ = true;
        view_.SetCheckTimerEnabled(true);
        view_.ShowStartStop(Item());
        if (worker_ != nullptr) {
            worker_->Wake();
        }
    } else {
        // A cycle under way reports against the list as it then stands.
        running_ = false;
        view_.SetCheckTimerEnabled(false);
        hosts_.SetAllDown();
        view_.ShowStartStop(Item());
    }
}

void TrayController::CheckTick()
{
    if (worker_ != nullptr && worker_->IsAsleep()) {
        worker_->Wake();
    }
}

void TrayController::AppendLogLine(const std::string& line)
{
    view_.AppendLogLine(line);
}

void TrayController::ShowReport(const std::string& report)
{
    std::string shown = report;
    if (!pendingHint_.empty()) {
        shown = report.empty() ? pendingHint_ : pendingHint_ + "\r\n\r\n" + report;
        if (!report.empty()) {
            pendingHint_.clear();
        }
    }
    view_.PresentReport(ShownText(shown),
                        ChooseReportChannels(reportStyle_, view_.BalloonByTray()));
}

void TrayController::IcmpNotPermitted(const std::string& hint)
{
    view_.AppendLogLine(LocalTimeOfDay() + ". " + hint);
    pendingHint_ = hint;
    ShowReport({});
}

} // namespace pelmora
