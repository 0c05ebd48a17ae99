// pelmora-check run as a separate process inside the test's private network,
// against peers of the test's own.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <regex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "support/child_process.h"
#include "support/fake_proxy.h"
#include "support/private_network.h"
#include "support/tcp_listener.h"
#include "support/temp_dir.h"

namespace pelmora {
namespace {

using test::RunChild;
using test::TempDir;
using test::WriteFile;

const std::string kProgram = PELMORA_CHECK_PROGRAM;

// Log lines start with the time of day (up to the first ". "); the rest is
// compared exactly.
std::string WithoutTimes(const std::string& output)
{
    std::string result;
    std::size_t start = 0;
    while (start < output.size()) {
        std::size_t end = output.find('\n', start);
        end = end == std::string::npos ? output.size() : end + 1;
        std::string line = output.substr(start, end - start);
        const std::size_t stop = line.find(". ");
        if (stop != std::string::npos && line.find_first_not_of("0123456789:") == stop) {
            line = "T" + line.substr(stop);
        }
        result += line;
        start = end;
    }
    return result;
}

class CheckCli : public test::PrivateNetworkTest {
protected:
    std::string Config(const std::string& hosts)
    {
        const auto file = dir_ / "Pelmora.ini";
        WriteFile(file, "[HostList]\n" + hosts + "[CheckParams]\nCheckPeriod=0\n");
        return file.string();
    }

    TempDir dir_;
};

TEST_F(CheckCli, OneCycleReportsWhatAnswersAndExitsOneWhenAnyHostIsDown)
{
    test::TcpListener web;
    const int closedPort = 1; // nothing listens there in a fresh network
    test::FakeProxy goodProxy({"HTTP/1.1 200 OK\r\n\r\n", test::ProxyBehaviour::Then::Close});
    test::FakeProxy badProxy(
        {"HTTP/1.1 502 Bad Gateway\r\n\r\n", test::ProxyBehaviour::Then::Close});
    const std::string web80 = "http://127.0.0.1:" + std::to_string(web.Port()) + "/status";
    const std::string config = Config("Item0=127.0.0.1\n"
                                      "Item1=//LocalHost\n"
                                      "Item2=" +
                                      web80 +
                                      "\n"
                                      "Item3=http://127.0.0.1:" +
                                      std::to_string(closedPort) +
                                      "/\n"
                                      "Item4=http://web.example/ 127.0.0.1:" +
                                      std::to_string(goodProxy.Port()) +
                                      "\n"
                                      "Item5=http://web.example/ 127.0.0.1:" +
                                      std::to_string(badProxy.Port()) +
                                      "\n"
                                      "Item6=192.0.2.2\n"
                                      "Item7=127.0.0.1\n");

    const auto result = RunChild({kProgram, "--config", config, "--language", "Missing"});
    EXPECT_EQ(result.status, 1) << result.err;
    EXPECT_EQ(WithoutTimes(result.out), "T. AppearHost 127.0.0.1\n"
                                        "T. AppearHost //LocalHost\n"
                                        "T. AppearHost " +
                                            web80 +
                                            "\n"
                                            "T. AppearHost http://web.example/\n"
                                            "T. AppearHost 127.0.0.1\n"
                                            "AppearHosts\n"
                                            "  127.0.0.1\n"
                                            "  //LocalHost\n"
                                            "  " +
                                            web80 +
                                            "\n"
                                            "  http://web.example/\n"
                                            "  127.0.0.1\n"
                                            "\n");
    EXPECT_EQ(result.err, "");
}

TEST_F(CheckCli, WithoutAnyIcmpPermissionTheHintComesOnceOnStandardError)
{
    // No CAP_NET_RAW for the raw socket, and no group may open a ping socket.
    test::SetNetSysctl("ipv4/ping_group_range", "1 0");
    const std::string config = Config("Item0=127.0.0.1\nItem1=192.0.2.2\n");
    const auto result = RunChild({"/usr/bin/setpriv", "--bounding-set", "-net_raw", "--inh-caps",
                                  "-net_raw", kProgram, "--config", config, "--cycles", "2",
                                  "--interval", "0", "--verbose", "--language", "English"});
    EXPECT_EQ(result.status, 1) << result.err;
    const std::string hint = "ICMP checks are not permitted for this user";
    const std::size_t first = result.err.find(hint);
    ASSERT_NE(first, std::string::npos) << result.err;
    EXPECT_EQ(result.err.find(hint, first + 1), std::string::npos) << "said twice";
    EXPECT_NE(result.err.find("sudo setcap cap_net_raw+p " + kProgram), std::string::npos);
    EXPECT_NE(result.err.find("net.ipv4.ping_group_range"), std::string::npos);
    // Each probe keeps its own text.
    EXPECT_NE(result.err.find("127.0.0.1: down (Cannot allocate socket.)"), std::string::npos)
        << result.err;
    EXPECT_EQ(result.out, "");
}

TEST_F(CheckCli, HostsThatStayUpAreReportedOnceAndExitIsZero)
{
    const std::string config = Config("Item0=127.0.0.1\nItem1=localhost\n");
    const auto result = RunChild({kProgram, "--config", config, "--cycles", "3", "--interval", "0",
                                  "--language", "Missing"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(WithoutTimes(result.out), "T. AppearHost 127.0.0.1\n"
                                        "T. AppearHost localhost\n"
                                        "AppearHosts\n"
                                        "  127.0.0.1\n"
                                        "  localhost\n"
                                        "\n");
}

TEST_F(CheckCli, VerboseTellsEachProbeOutcomeAndQuietPrintsNothing)
{
    const std::string config =
        Config("Item0=127.0.0.1\nItem1=http://127.0.0.1:1/\nItem2=no-such-host.invalid\n");
    const auto verbose = RunChild({kProgram, "--config", config, "--verbose"});
    EXPECT_EQ(verbose.status, 1);
    // The answer's round trip follows its text; a failure has none.
    EXPECT_TRUE(std::regex_search(
        verbose.err,
        std::regex(
            R"(\nIP 127\.0\.0\.1: up \(Echo reply from 127\.0\.0\.1, TTL 64\) \d+\.\d\d ms\n)")))
        << verbose.err;
    EXPECT_NE(
        verbose.err.find("http://127.0.0.1:1/: down (Socket Error # 10061  Connection refused.)\n"),
        std::string::npos)
        << verbose.err;
    EXPECT_NE(
        verbose.err.find("no-such-host.invalid: down (Socket Error # 11001  Host not found.)\n"),
        std::string::npos)
        << verbose.err;

    EXPECT_TRUE(verbose.err.starts_with("hosts checked at the same time: 1000\n")) << verbose.err;

    const auto quiet = RunChild({kProgram, "--config", config, "--quiet"});
    EXPECT_EQ(quiet.status, 1);
    EXPECT_EQ(quiet.out + quiet.err, "");
}

TEST_F(CheckCli, ParallelOptionOverridesTheSettingsFile)
{
    const auto file = dir_ / "Pelmora.ini";
    WriteFile(file, "[HostList]\nItem0=127.0.0.1\n[CheckParams]\nParallelChecks=7\n");
    for (const auto& [extra, expected] : {std::pair<std::vector<std::string>, std::string>{{}, "7"},
                                          {{"--parallel", "1"}, "1"},
                                          {{"--parallel=100000"}, "100000"}}) {
        std::vector<std::string> argv{kProgram, "--config", file.string(), "--verbose"};
        argv.insert(argv.end(), extra.begin(), extra.end());
        const auto result = RunChild(argv);
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_TRUE(result.err.starts_with("hosts checked at the same time: " + expected + "\n"))
            << result.err;
    }
}

TEST_F(CheckCli, ListShowsTheHostListAsTheWorkerSeesIt)
{
    const std::string config = Config("Item0=10.0.0.1\n"
                                      "Item1=\\\\pc1\n"
                                      "Item2=HTTP://Server:8080/x proxy.example:3128\n"
                                      "Item3=http://a/ proxy:bad\n"
                                      "Item4=10.0.0.2 p:1\n"
                                      "Item5=https://[2001:db8::7]/ [2001:db8::1]:3128\n");
    const auto result = RunChild({kProgram, "--config", config, "--list"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "IP\t10.0.0.1\t10.0.0.1\t-\n"
                          "LAN\t\\\\pc1\tpc1\t-\n"
                          "HTTP\tHTTP://Server:8080/x\tServer:8080\tproxy.example:3128\n"
                          "HTTP\thttp://a/\ta:80\t(invalid port, checked directly) proxy:bad\n"
                          "IP\t10.0.0.2\t10.0.0.2\t(ignored) p:1\n"
                          "HTTP\thttps://[2001:db8::7]/\t[2001:db8::7]:443\t[2001:db8::1]:3128\n");
}

TEST_F(CheckCli, BadOptionsAndUnreadableConfigExitTwo)
{
    for (const std::vector<std::string>& args : {std::vector<std::string>{"--cycles", "0"},
                                                 {"--cycles", "x"},
                                                 {"--interval", "-5"},
                                                 {"--parallel", "0"},
                                                 {"--parallel", "100001"},
                                                 {"--frobnicate"},
                                                 {"--config"},
                                                 {"--quiet", "--verbose"},
                                                 {"--config", (dir_ / "missing.ini").string()},
                                                 {"--config", dir_.Path().string()}}) {
        std::vector<std::string> argv{kProgram};
        argv.insert(argv.end(), args.begin(), args.end());
        const auto result = RunChild(argv);
        EXPECT_EQ(result.status, 2) << args.front();
        EXPECT_NE(result.err.find("pelmora-check: "), std::string::npos) << args.front();
        EXPECT_EQ(result.out, "") << args.front();
    }
    const auto help = RunChild({kProgram, "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--interval MS"), std::string::npos);
    EXPECT_NE(help.out.find("--parallel N"), std::string::npos);
}

// What the machine-readable formats give is read back with real parsers:
// Python's json module and promtool, the Prometheus project's own checker.
TEST_F(CheckCli, JsonAndOpenMetricsPassTheirParsersAndOutputReplacesTheFile)
{
    test::AddSilentTestNetAddress();
    const std::string config =
        Config("Item0=127.0.0.1\nItem1=" + std::string(test::kSilentAddress) + " proxy:1\n");
    const auto json = RunChild(
        {kProgram, "--config", config, "--format", "json", "--cycles", "2", "--interval", "0"});
    EXPECT_EQ(json.status, 1) << json.err;
    EXPECT_EQ(json.err, "");
    const auto lines = dir_ / "cycles.json";
    WriteFile(lines, json.out);
    const auto parsed = RunChild(
        {"/usr/bin/python3", "-c",
         "import json, sys\n"
         "for line in open(sys.argv[1]):\n"
         "    cycle = json.loads(line)\n"
         "    assert cycle['time'].endswith('Z'), cycle['time']\n"
         "    for h in cycle['hosts']:\n"
         "        print(h['target'], h['kind'], h['proxy'] or '-', h['state'], h['changed'],\n"
         "              type(h['rtt_ms']).__name__, h['cause'])\n",
         lines.string()});
    EXPECT_EQ(parsed.status, 0) << parsed.err << json.out;
    EXPECT_EQ(parsed.out, "127.0.0.1 IP - up True float None\n"
                          "192.0.2.2 IP proxy:1 down False NoneType CauseNoAnswer\n"
                          "127.0.0.1 IP - up False float None\n"
                          "192.0.2.2 IP proxy:1 down False NoneType CauseNoAnswer\n");

    ASSERT_TRUE(std::filesystem::exists("/usr/bin/promtool")) << "tools/install-deps installs it";
    const auto metrics = dir_ / "pelmora.prom";
    WriteFile(metrics, "stale\n");
    const auto written = RunChild(
        {kProgram, "--config", config, "--format=openmetrics", "--output", metrics.string()});
    EXPECT_EQ(written.status, 1) << written.err;
    EXPECT_EQ(written.out + written.err, "");
    const std::string exposition = test::ReadFile(metrics);
    EXPECT_NE(exposition.find("\npelmora_host_up{target=\"127.0.0.1\",kind=\"IP\"} 1\n"),
              std::string::npos)
        << exposition;
    EXPECT_NE(exposition.find("\npelmora_host_up{target=\"192.0.2.2\",kind=\"IP\"} 0\n"),
              std::string::npos)
        << exposition;
    EXPECT_NE(exposition.find("\npelmora_host_rtt_seconds{target=\"127.0.0.1\",kind=\"IP\"} "),
              std::string::npos);
    EXPECT_EQ(exposition.find("pelmora_host_rtt_seconds{target=\"192.0.2.2\""), std::string::npos);
    const auto checked =
        RunChild({"/bin/sh", "-c", "/usr/bin/promtool check metrics < \"$0\"", metrics.string()});
    EXPECT_EQ(checked.status, 0) << checked.out << checked.err << exposition;

    const auto unwritable = RunChild({kProgram, "--config", config, "--format=json", "--output",
                                      (dir_ / "missing" / "p.json").string()});
    EXPECT_EQ(unwritable.status, 2);
    EXPECT_NE(unwritable.err.find("pelmora-check: cannot write "), std::string::npos)
        << unwritable.err;
}

TEST_F(CheckCli, InterruptStopsAtOnceInTheMiddleOfASlowProbe)
{
    test::AddSilentTestNetAddress();
    const std::string config = Config("Item0=http://192.0.2.2/\n");
    test::ChildProcess child({kProgram, "--config", config});
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const auto interrupted = std::chrono::steady_clock::now();
    child.Signal(SIGINT);
    const int status = child.Wait(10000);
    const auto took = std::chrono::steady_clock::now() - interrupted;
    EXPECT_EQ(status, 130);
    // The connect alone would take 3 s.
    EXPECT_LT(took, std::chrono::milliseconds(1500));
}

} // namespace
} // namespace pelmora
