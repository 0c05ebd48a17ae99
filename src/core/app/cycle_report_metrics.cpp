#include "core/app/cycle_report_metrics.h"

#include <array>
#include <cstdio>

#include "core/monitor/hosts/host_rules.h"

namespace pelmora {
namespace {

std::string Labels(const CycleHost& host)
{
    return "{target=\"" + MetricsLabelValue(host.target) + "\",kind=\"" + HostKindName(host.kind) +
           "\"}";
}

// Seconds with the microseconds kept, without the rounding of a double.
std::string Seconds(long long microseconds)
{
    std::array<char, 32> text{};
    const int length = std::snprintf(text.data(), text.size(), "%lld.%06lld",
                                     microseconds / 1000000, microseconds % 1000000);
    return {text.data(), static_cast<std::size_t>(length)};
}

} // namespace

std::string MetricsLabelValue(std::string_view text)
{
    std::string result;
    for (const char c : text) {
        if (c == '\\') {
            result += "\\\\";
        } else if (c == '"') {
            result += "\\\"";
        } else if (c == '\n') {
            result += "\\n";
        } else {
            result += c;
        }
    }
    return result;
}

std::string CycleReportMetrics(const CycleReport& report)
{
    std::string text = "# HELP pelmora_host_up Whether the host answered in the last check "
                       "cycle.\n# TYPE pelmora_host_up gauge\n";
    for (const CycleHost& host : report.hosts) {
        text += "pelmora_host_up" + Labels(host) + (host.up ? " 1\n" : " 0\n");
    }
    text += "# HELP pelmora_host_rtt_seconds How long the host's answer took.\n"
            "# TYPE pelmora_host_rtt_seconds gauge\n";
    for (const CycleHost& host : report.hosts) {
        if (host.roundTrip) {
            text += "pelmora_host_rtt_seconds" + Labels(host) + " " +
                    Seconds(host.roundTrip->count()) + "\n";
        }
    }
    const auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(report.time.time_since_epoch()).count();
    text += "# HELP pelmora_last_check_timestamp_seconds When the last check cycle ended.\n"
            "# TYPE pelmora_last_check_timestamp_seconds gauge\n"
            "pelmora_last_check_timestamp_seconds " +
            std::to_string(seconds) + "\n";
    return text;
}

} // namespace pelmora
