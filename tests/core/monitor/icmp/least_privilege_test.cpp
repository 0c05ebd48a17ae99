#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <exception>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "core/base/unique_fd.h"
#include "core/monitor/engine/probe_engine.h"
#include "core/monitor/engine/probe_runs.h"
#include "core/monitor/net/privileges.h"
#include "reply_description.h"
#include "support/private_network.h"
#include "without_net_raw.h"

namespace pelmora {
namespace {

using test::RunInForkedChild;

// The named lines of a status file under /proc, e.g. "CapEff 0000000000000000".
std::string StatusLines(std::initializer_list<std::string> names,
                        const char* path = "/proc/self/status")
{
    std::ifstream status(path);
    std::string text;
    for (std::string line; std::getline(status, line);) {
        for (const std::string& name : names) {
            if (line.rfind(name + ":", 0) == 0) {
                const std::size_t value = line.find_first_not_of(" \t", name.size() + 1);
                text += (text.empty() ? "" : " ") + name + " " + line.substr(value);
            }
        }
    }
    return text;
}

class LeastPrivilegeTest : public test::PrivateNetworkTest {};

TEST_F(LeastPrivilegeTest, DropLeavesOnlyNetRawPermittedAndNothingEffective)
{
    const std::string sets = RunInForkedChild([] {
        DropPrivilegesExceptNetRaw();
        return StatusLines({"CapInh", "CapPrm", "CapEff", "CapBnd", "CapAmb", "NoNewPrivs"});
    });
    EXPECT_EQ(sets, "CapInh 0000000000000000 CapPrm 0000000000002000 CapEff 0000000000000000 "
                    "CapBnd 0000000000002000 CapAmb 0000000000000000 NoNewPrivs 1");
}

TEST_F(LeastPrivilegeTest, RawEchoFromAWorkerThreadStillWorksAfterTheDrop)
{
    // No group may open the unprivileged datagram socket: only the raw one,
    // opened with the raised capability, can carry the echo.
    test::SetNetSysctl("ipv4/ping_group_range", "1 0");
    const std::string outcome = RunInForkedChild([] {
        DropPrivilegesExceptNetRaw();
        const UniqueFd unraised(::socket(AF_INET, SOCK_RAW, IPPROTO_ICMP));
        std::string text = unraised.Valid() ? "raw socket opens unraised; " : "";
        std::string reply;
        std::string workerAfter;
        // The check worker opens its sockets on a thread of its own.
        std::thread worker([&] {
            try {
                ProbeEngine engine;
                const ProbeAnswer answer = test::RunProbe(engine, test::EchoJob("127.0.0.1"));
                reply = !answer.failure && answer.echo.Status == ReplyKind::EchoReply
                            ? "EchoReply"
                            : test::Told(answer, ProbeKind::Echo);
            } catch (const std::exception& error) {
                reply = error.what();
            }
            workerAfter = StatusLines({"CapEff"}, "/proc/thread-self/status");
        });
        worker.join();
        return text + reply + "; worker " + workerAfter + "; main " + StatusLines({"CapEff"});
    });
    EXPECT_EQ(outcome, "EchoReply; worker CapEff 0000000000000000; main CapEff 0000000000000000");
}

} // namespace
} // namespace pelmora
