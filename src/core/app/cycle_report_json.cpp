#include "core/app/cycle_report_json.h"

#include <array>
#include <chrono>
#include <cstdio>

#include "core/monitor/hosts/host_rules.h"

namespace pelmora {
namespace {

// The system clock counts UTC, so the calendar of the standard library
// gives the date without the C library's time zone machinery, on any system.
std::string IsoUtc(std::chrono::system_clock::time_point time)
{
    const auto seconds = std::chrono::floor<std::chrono::seconds>(time);
    const auto day = std::chrono::floor<std::chrono::days>(seconds);
    const std::chrono::year_month_day date{day};
    const std::chrono::hh_mm_ss clock{seconds - day};
    std::array<char, 32> text{};
    const int length = std::snprintf(
        text.data(), text.size(), "%04d-%02u-%02uT%02d:%02d:%02dZ", static_cast<int>(date.year()),
        static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
        static_cast<int>(clock.hours().count()), static_cast<int>(clock.minutes().count()),
        static_cast<int>(clock.seconds().count()));
    return {text.data(), static_cast<std::size_t>(length)};
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
