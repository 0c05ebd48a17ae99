#include "support/scripted_prober.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "core/monitor/net/stop_signal.h"

namespace pelmora::test {
namespace {

using namespace std::chrono_literals;

std::chrono::milliseconds SilenceOf(const ProbeJob& job)
{
    return job.kind == ProbeKind::Echo ? 1500ms : 3000ms;
}

} // namespace

ScriptedProber::ScriptedProber(Rule rule, Order order) : rule_(std::move(rule)), order_(order) {}

ProbeAnswer ScriptedProber::AnswerOf(const ProbeJob& job, bool up)
{
    ProbeAnswer answer;
    switch (job.kind) {
    case ProbeKind::Echo:
        answer.echo.SourceAddress = "192.0.2.9";
        answer.echo.Ttl = up ? 64 : 0;
        answer.echo.Status = up ? ReplyKind::EchoReply : ReplyKind::TimedOut;
        break;
    case ProbeKind::Connect:
        if (!up) {
            answer.failure = "Socket Error # 10061\r\nConnection refused.";
        }
        break;
    case ProbeKind::Proxy:
    case ProbeKind::Tunnel: answer.proxyStatus = up ? 200 : 502; break;
    }
    if (up) {
        answer.roundTrip = std::chrono::microseconds(1250);
    }
    return answer;
}

void ScriptedProber::Start(std::size_t entry, const ProbeJob& job)
{
    ++started_;
    const Answer answer = rule_(job);
    ProbeAnswer ended = AnswerOf(job, answer == Answer::Up);
    ended.entry = entry;
    if (answer == Answer::Silent) {
        silent_.push_back({std::chrono::steady_clock::now() + SilenceOf(job), std::move(ended)});
    } else {
        ended_.push_back(std::move(ended));
    }
}

std::optional<ProbeAnswer> ScriptedProber::WaitNext(const StopSignal& stop)
{
    if (!ended_.empty()) {
        ProbeAnswer answer;
        if (order_ == Order::AsStarted) {
            answer = std::move(ended_.front());
            ended_.pop_front();
        } else {
            answer = std::move(ended_.back());
            ended_.pop_back();
        }
        return answer;
    }
    if (silent_.empty()) {
        return std::nullopt;
    }
    // Every silent probe started before its limit ran out, so the first to
    // start ends first.
    const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(
        silent_.front().due - std::chrono::steady_clock::now());
    if (stop.WaitFor(std::max(wait, std::chrono::milliseconds(0)))) {
        return std::nullopt;
    }
    ProbeAnswer answer = std::move(silent_.front().answer);
    silent_.pop_front();
    return answer;
}

void ScriptedProber::EndCycle()
{
    ended_.clear();
    silent_.clear();
}

Answer NobodyAnswers(const ProbeJob& /*job*/)
{
    return Answer::Down;
}

Answer LoopbackAnswers(const ProbeJob& job)
{
    const std::string& name = ProbedName(job);
    if (name == "192.0.2.2") {
        return Answer::Silent;
    }
    return name.starts_with("127.") ? Answer::Up : Answer::Down;
}

const std::string& ProbedName(const ProbeJob& job)
{
    return job.kind == ProbeKind::Proxy || job.kind == ProbeKind::Tunnel ? job.request : job.host;
}

CheckHostsLinks ScriptedLinks(HostList& hosts, CycleProber& prober, HandOver& handOver,
                              CheckSink& sink)
{
    return CheckHostsLinks{
        .hosts = hosts,
        .prober = prober,
        .handOver = handOver,
        .sink = sink,
        .messageText = [](std::string_view key) { return std::string(key); },
    };
}

} // namespace pelmora::test
