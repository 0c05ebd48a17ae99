#include "core/shell/tray_controller.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cctype>
#include <string>
#include <vector>

#include "core/monitor/hosts/host_list.h"
#include "core/monitor/worker/check_hosts.h"
#include "core/monitor/worker/hand_over_queue.h"
#include "support/scripted_prober.h"

namespace pelmora {
namespace {

using test::Answer;

// Writes down what the controller asks of the windows.
class RecordingView final : public TrayView {
public:
    void SetCheckTimerEnabled(bool enabled) override { timer.push_back(enabled); }
    void ShowStartStop(const StartStopLook& item) override { items.push_back(item); }
    void AppendLogLine(const std::string& line) override { log.push_back(line); }
    void PresentReport(const std::string& text, ReportChannels channels) override
    {
        reports.push_back(text);
        shownIn.push_back(channels);
    }
    bool BalloonByTray() const override { return byTray; }

    std::vector<bool> timer;
    std::vector<StartStopLook> items;
    std::vector<std::string> log;
    std::vector<std::string> reports;
    std::vector<ReportChannels> shownIn;
    bool byTray = true;
};

// The controller over a worker whose hosts answer as `answer` says, the
// test's thread serving its hand-overs.
class TrayControllerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        tray_.SetWorker(&worker_);
        hosts_.Append("10.0.0.1", "");
        hosts_.Append("10.0.0.2", "");
    }
    void TearDown() override { worker_.Stop(); }

    void RunCycle()
    {
        worker_.Wake();
        Serve();
    }
    void Serve()
    {
        handOver_.ServeUntil([this] { return worker_.IsAsleep(); });
    }

    std::atomic<Answer> answer_{Answer::Up};
    HostList hosts_;
    RecordingView view_;
    TrayController tray_{hosts_, view_};
    test::ScriptedProber prober_{[this](const ProbeJob&) { return answer_.load(); }};
    HandOverQueue handOver_;
    TCheckHosts worker_{test::ScriptedLinks(hosts_, prober_, handOver_, tray_)};
};

TEST_F(TrayControllerTest, StopMarksEveryHostDownAndStartChecksAtOnce)
{
    EXPECT_TRUE(tray_.IsRunning());
    EXPECT_EQ(tray_.Item().image, MainImage::Stop);
    RunCycle();
    ASSERT_EQ(hosts_.At(1)->State(), HostState::Up);

    tray_.StartStop();
    EXPECT_FALSE(tray_.IsRunning());
    EXPECT_EQ(view_.timer, std::vector<bool>{false});
    ASSERT_EQ(view_.items.size(), 1U);
    EXPECT_EQ(view_.items[0].image, MainImage::Start);
    EXPECT_STREQ(view_.items[0].captionKey, "Start");
    EXPECT_EQ(hosts_.At(0)->State(), HostState::Down);
    EXPECT_EQ(hosts_.At(1)->State(), HostState::Down);
    EXPECT_TRUE(worker_.IsAsleep());

    const std::size_t probes = prober_.Started();
    tray_.StartStop();
    EXPECT_TRUE(tray_.IsRunning());
    EXPECT_EQ(view_.timer, (std::vector<bool>{false, true}));
    ASSERT_EQ(view_.items.size(), 2U);
    EXPECT_EQ(view_.items[1].image, MainImage::Stop);
    EXPECT_STREQ(view_.items[1].captionKey, "Stop");
    // The cycle Start began reports every reachable host as appeared.
    Serve();
    EXPECT_EQ(prober_.Started(), probes + 2);
    EXPECT_EQ(hosts_.At(0)->State(), HostState::Up);
    EXPECT_EQ(view_.reports.back(), "AppearHosts\n  10.0.0.1\n  10.0.0.2");
}

TEST_F(TrayControllerTest, ATickWakesOnlyASleepingWorker)
{
    answer_ = Answer::Silent;
    tray_.CheckTick();
    ASSERT_FALSE(worker_.IsAsleep());
    // The cycle is busy with the silent hosts: this tick is dropped.
    tray_.CheckTick();
    Serve();
    EXPECT_EQ(prober_.Started(), 2U);

    answer_ = Answer::Up;
    tray_.CheckTick();
    Serve();
    EXPECT_EQ(prober_.Started(), 4U);
}

TEST_F(TrayControllerTest, AReportIsShownWithTheWindowsLineBreaksInTheChannelsTheStyleChooses)
{
    const struct {
        const char* report;
        const char* shown;
    } cases[] = {
        {"LoseHosts\r\n  a", "LoseHosts\n  a"},
        {"LoseHosts\r\n  a\r\n\r\n", "LoseHosts\n  a\n"},
        {"AppearHosts\r\n  b\r\n", "AppearHosts\n  b"},
        {"a\r\r\nb\n", "a\r\nb"},
    };
    for (const auto& c : cases) {
        tray_.ShowReport(c.report);
        EXPECT_EQ(view_.reports.back(), c.shown) << c.report;
    }
    EXPECT_EQ(view_.shownIn.back(), (ReportChannels{true, false}));
    view_.byTray = false;
    tray_.ShowReport("x");
    EXPECT_EQ(view_.shownIn.back(), (ReportChannels{false, true}));
    tray_.SetReportStyle(ReportStyle::Both);
    tray_.ShowReport("x");
    EXPECT_EQ(view_.shownIn.back(), (ReportChannels{true, true}));
}

TEST_F(TrayControllerTest, TheIcmpHintIsLoggedShownAndCarriedByTheNextReport)
{
    tray_.IcmpNotPermitted("Not permitted: do this");
    ASSERT_EQ(view_.log.size(), 1U);
    EXPECT_TRUE(view_.log[0].ends_with(". Not permitted: do this")) << view_.log[0];
    EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(view_.log[0].front()))) << view_.log[0];
    ASSERT_EQ(view_.reports.size(), 1U);
    EXPECT_EQ(view_.reports[0], "Not permitted: do this");

    tray_.ShowReport("AppearHosts\r\n  a");
    EXPECT_EQ(view_.reports.back(), "Not permitted: do this\n\nAppearHosts\n  a");
    tray_.ShowReport("AppearHosts\r\n  b");
    EXPECT_EQ(view_.reports.back(), "AppearHosts\n  b");
}

} // namespace
} // namespace pelmora
