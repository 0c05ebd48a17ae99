#include "gui/shell/app_timer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace pelmora {
namespace {

class AppTimerTest : public ::testing::Test {};

TEST_F(AppTimerTest, ZeroAndNegativeIntervalsNeverFire)
{
    for (const int interval : {0, -1, -60000}) {
        AppTimer timer(nullptr, interval, true);
        EXPECT_FALSE(timer.IsTicking()) << interval;
        QSignalSpy ticks(&timer, &AppTimer::Tick);
        QTest::qWait(30);
        EXPECT_EQ(ticks.count(), 0) << interval;
    }
}

TEST_F(AppTimerTest, ReEnablingOrSettingTheSameIntervalKeepsTheCountdown)
{
    AppTimer timer(nullptr, 200, true);
    QSignalSpy ticks(&timer, &AppTimer::Tick);
    QElapsedTimer clock;
    clock.start();
    QTest::qWait(120);
    timer.SetEnabled(true);
    timer.SetInterval(200);
    // Had either call restarted it, the tick would come 200 ms from now.
    ASSERT_TRUE(ticks.wait(1000));
    EXPECT_LT(clock.elapsed(), 300);
}

TEST_F(AppTimerTest, ChangingTheIntervalRestarts)
{
    AppTimer timer(nullptr, 60000, true);
    QSignalSpy ticks(&timer, &AppTimer::Tick);
    timer.SetInterval(20);
    EXPECT_TRUE(ticks.wait(1000));
    timer.SetEnabled(false);
    EXPECT_FALSE(timer.IsTicking());
    timer.SetInterval(0);
    timer.SetEnabled(true);
    EXPECT_FALSE(timer.IsTicking());
}

} // namespace
} // namespace pelmora
