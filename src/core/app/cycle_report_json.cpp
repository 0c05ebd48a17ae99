#include "core/app/cycle_report_json.h"

#include <array>
#include <cstdio>
#include <ctime>

#include "core/monitor/hosts/host_rules.h"

namespace pelmora {
namespace {

std::string IsoUtc(std::chrono::system_clock::time_point time)
{
    const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    std::array<char, 32> text{};
    const std::size_t length = std::strftime(text.data(), text.size(), "%Y-%m-%dT%H:%M:%SZ", &utc);
    return {text.data(), length};
}

// Milliseconds with the microseconds kept, without the rounding of a double.
std::string Milliseconds(std::chrono::microseconds span)
{
    const long long us = span.count();
    std::array<char, 32> text{};
    const int length = std::snprintf(text.data(), text.size(), "%lld.%03lld", us / 1000, us % 1000);
    return {text.data(), static_cast<std::size_t>(length)};
}

} // namespace

std::string JsonString(std::string_view text)
{
    std::string result = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            result += '\\';
            result += c;
        } else if (byte < 0x20 || byte == 0x7f) {
            std::array<char, 8> escape{};
            std::snprintf(escape.data(), escape.size(), "\\u%04x", byte);
            result += escape.data();
        } else {
            result += c;
        }
    }
    result += '"';
    return result;
}

std::string CycleReportJson(const CycleReport& report)
{
    std::string line = R"({"time": )" + JsonString(IsoUtc(report.time)) + R"(, "hosts": [)";
    for (std::size_t i = 0; i < report.hosts.size(); ++i) {
        const CycleHost& host = report.hosts[i];
        line += i == 0 ? "" : ", ";
        line += R"({"target": )" + JsonString(host.target);
        line += R"(, "kind": )" + JsonString(HostKindName(host.kind));
        line += R"(, "proxy": )" + JsonString(host.proxy);
        line += std::string(R"(, "state": )") + (host.up ? R"("up")" : R"("down")");
        line += std::string(R"(, "changed": )") + (host.changed ? "true" : "false");
        line += R"(, "rtt_ms": )" + (host.roundTrip ? Milliseconds(*host.roundTrip) : "null");
        line += R"(, "cause": )" + (host.cause.empty() ? "null" : JsonString(host.cause));
        line += "}";
    }
    line += "]}\n";
    return line;
}

} // namespace pelmora
