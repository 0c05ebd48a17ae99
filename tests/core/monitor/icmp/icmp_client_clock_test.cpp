#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "core/monitor/icmp/icmp_client.h"
#include "core/monitor/net/probe_errors.h"
#include "core/monitor/net/stop_signal.h"
#include "fake_icmp_peer.h"
#include "icmp_datagrams.h"
#include "support/private_network.h"

namespace pelmora {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::hours;
using std::chrono::milliseconds;
using test::Bytes;

constexpr const char* kFakeHost = "127.0.0.9";
constexpr int kBudgetMs = 1000;

// An echo reply to `request` whose sequence number is `shift` past its own;
// with a shift it answers some other request.
Bytes AnswerTo(const Bytes& request, int shift)
{
    const Bytes icmp = test::IcmpPart(request);
    const auto identifier = static_cast<std::uint16_t>(icmp.at(4) | (icmp.at(5) << 8));
    const auto sequence = static_cast<std::uint16_t>((icmp.at(6) | (icmp.at(7) << 8)) + shift);
    return test::IpDatagram(
        test::Address(kFakeHost), test::Address("127.0.0.1"), 64,
        test::EchoMessage(0, identifier, sequence, Bytes(icmp.begin() + 8, icmp.end())));
}

// The real monotonic clock moved by an offset that the test may step at any
// moment from any thread.
class SteppedClock {
public:
    Clock::time_point Now() const { return Clock::now() + Clock::duration(offset_.load()); }
    void Step(Clock::duration by) { offset_ += by.count(); }

private:
    std::atomic<Clock::rep> offset_{0};
};

// Raises `stop` unless the echo ends first: a wait that a clock step
// stretched fails the test with EIdAborted instead of hanging it.
class Watchdog {
public:
    explicit Watchdog(StopSignal& stop)
        : thread_([this, &stop] {
              for (int tick = 0; tick < 100 && !done_; ++tick) {
                  std::this_thread::sleep_for(milliseconds(50));
              }
              if (!done_) {
                  stop.Raise();
              }
          })
    {
    }
    ~Watchdog()
    {
        done_ = true;
        thread_.join();
    }

private:
    std::atomic<bool> done_{false};
    std::thread thread_;
};

class IcmpClientClockTest : public test::PrivateNetworkTest {};

TEST_F(IcmpClientClockTest, ClockStepsDuringTheWaitNeitherStretchItNorSkewTheRoundTrip)
{
    // Only the fake peer answers.
    test::SetNetSysctl("ipv4/icmp_echo_ignore_all", "1");
    enum class Then { Nothing, Answer, ForeignThenNothing };
    struct Case {
        const char* name;
        Clock::duration step;
        Then then;
        ReplyKind expected;
    };
    for (const Case& c : {
             Case{"forward, silent", hours(3), Then::Nothing, ReplyKind::TimedOut},
             Case{"backward, silent", -hours(3), Then::Nothing, ReplyKind::TimedOut},
             Case{"forward, answered", hours(3), Then::Answer, ReplyKind::EchoReply},
             Case{"backward, answered", -hours(3), Then::Answer, ReplyKind::EchoReply},
             Case{"backward, then a foreign reply", -hours(3), Then::ForeignThenNothing,
                  ReplyKind::TimedOut},
         }) {
        SCOPED_TRACE(c.name);
        SteppedClock clock;
        // The step comes while the client is inside its wait.
        const test::FakeIcmpPeer peer(kFakeHost,
                                      [&clock, &c](const Bytes& request, const auto& link) {
                                          std::this_thread::sleep_for(milliseconds(100));
                                          clock.Step(c.step);
                                          if (c.then == Then::Answer) {
                                              link.Send(AnswerTo(request, 0));
                                          } else if (c.then == Then::ForeignThenNothing) {
                                              link.Send(AnswerTo(request, 1));
                                          }
                                      });
        StopSignal stop;
        TIdIcmpClient client;
        client.Host = kFakeHost;
        client.ReceiveTimeout = kBudgetMs;
        client.Abort = &stop;
        client.Now = [&clock] { return clock.Now(); };
        TReplyStatus status;
        client.OnReply = [&status](EchoProbe&, const TReplyStatus& reply) { status = reply; };
        const Clock::time_point start = Clock::now();
        {
            const Watchdog watchdog(stop);
            EXPECT_NO_THROW(client.Echo());
        }

        EXPECT_LT(Clock::now() - start, milliseconds(3 * kBudgetMs));
        EXPECT_EQ(status.Status, c.expected);
        // Unsigned: a negative time would show as a figure near 4,294,967,295.
        EXPECT_LE(status.RoundTripMs, static_cast<std::uint32_t>(kBudgetMs + 500));
    }
}

} // namespace
} // namespace pelmora
