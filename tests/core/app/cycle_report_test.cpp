#include <gtest/gtest.h>

#include <chrono>

#include "core/app/cycle_report_json.h"
#include "core/app/cycle_report_metrics.h"

namespace pelmora {
namespace {

using std::chrono::microseconds;

TEST(CycleReport, JsonStringEscapesQuotesBackslashesAndControlCharacters)
{
    const struct {
        std::string text;
        const char* json;
    } cases[] = {
        {"", R"("")"},
        {"plain host", R"("plain host")"},
        {R"(say "hi")", R"("say \"hi\"")"},
        {R"(\\pc1)", R"("\\\\pc1")"},
        {"a\nb\r\tc", R"("a\u000ab\u000d\u0009c")"},
        {std::string("nul\0x", 5), R"("nul\u0000x")"},
        {"\x1f\x7f", R"("\u001f\u007f")"},
        {"sp\xc3\xa4t/", "\"sp\xc3\xa4t/\""}, // UTF-8 passes as it is
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json);
        EXPECT_EQ(JsonString(c.text), c.json);
    }
}

TEST(CycleReport, MetricsLabelValueEscapesBackslashQuoteAndNewline)
{
    const struct {
        std::string text;
        const char* label;
    } cases[] = {
        {"10.0.0.1", "10.0.0.1"},
        {R"(\\pc1)", R"(\\\\pc1)"},
        {R"(http://a/"x")", R"(http://a/\"x\")"},
        {"a\nb", R"(a\nb)"},
        {"tab\there", "tab\there"},
        {"sp\xc3\xa4t", "sp\xc3\xa4t"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(MetricsLabelValue(c.text), c.label);
    }
}

CycleReport Sample()
{
    CycleReport report;
    report.time = std::chrono::system_clock::time_point(std::chrono::seconds(1781100000));
    report.hosts = {
        {"127.0.0.1", HostKind::IP, "", true, true, microseconds(1234), ""},
        {R"(\\pc"1)", HostKind::LAN, "", false, false, std::nullopt, "CauseNoAnswer"},
        {"http://web/", HostKind::HTTP, "proxy:3128", true, false, microseconds(2000005), ""},
    };
    return report;
}

TEST(CycleReport, JsonIsOneLineWithEveryEntryInListOrder)
{
    EXPECT_EQ(CycleReportJson(Sample()),
              R"({"time": "2026-06-10T14:00:00Z", "hosts": [)"
              R"({"target": "127.0.0.1", "kind": "IP", "proxy": "", "state": "up", )"
              R"("changed": true, "rtt_ms": 1.234, "cause": null}, )"
              R"({"target": "\\\\pc\"1", "kind": "LAN", "proxy": "", "state": "down", )"
              R"("changed": false, "rtt_ms": null, "cause": "CauseNoAnswer"}, )"
              R"({"target": "http://web/", "kind": "HTTP", "proxy": "proxy:3128", )"
              R"("state": "up", "changed": false, "rtt_ms": 2000.005, "cause": null}]})"
              "\n");
    CycleReport empty;
    empty.time = std::chrono::system_clock::time_point{};
    EXPECT_EQ(CycleReportJson(empty), "{\"time\": \"1970-01-01T00:00:00Z\", \"hosts\": []}\n");
}

TEST(CycleReport, MetricsGiveUpForEveryEntryAndRoundTripsOnlyForAnswers)
{
    EXPECT_EQ(CycleReportMetrics(Sample()),
              "# HELP pelmora_host_up Whether the host answered in the last check cycle.\n"
              "# TYPE pelmora_host_up gauge\n"
              "pelmora_host_up{target=\"127.0.0.1\",kind=\"IP\"} 1\n"
              "pelmora_host_up{target=\"\\\\\\\\pc\\\"1\",kind=\"LAN\"} 0\n"
              "pelmora_host_up{target=\"http://web/\",kind=\"HTTP\"} 1\n"
              "# HELP pelmora_host_rtt_seconds How long the host's answer took.\n"
              "# TYPE pelmora_host_rtt_seconds gauge\n"
              "pelmora_host_rtt_seconds{target=\"127.0.0.1\",kind=\"IP\"} 0.001234\n"
              "pelmora_host_rtt_seconds{target=\"http://web/\",kind=\"HTTP\"} 2.000005\n"
              "# HELP pelmora_last_check_timestamp_seconds When the last check cycle ended.\n"
              "# TYPE pelmora_last_check_timestamp_seconds gauge\n"
              "pelmora_last_check_timestamp_seconds 1781100000\n");
}

} // namespace
} // namespace pelmora
