#include "gui/shell/tray_wait.h"

#include <QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <string>

namespace pelmora {
namespace {

using namespace std::chrono_literals;

// The tray shows up at the given poll (0: before the wait starts, -1:
// never); what the program did, in order, is recorded.
std::string Steps(int trayAtPoll, std::chrono::milliseconds patience, int polls)
{
    int poll = 0;
    std::string steps;
    QObject owner;
    TrayWait wait(&owner,
                  {[&] {
                       const int now = poll++;
                       return trayAtPoll >= 0 && now >= trayAtPoll;
                   },
                   [&] { steps += "tray "; }, [&] { steps += "window "; }},
                  10ms, patience);
    wait.Start();
    EXPECT_TRUE(QTest::qWaitFor([&] { return poll > polls || !wait.Waiting(); }, 5000));
    return steps;
}

TEST(TrayWait, EntersTheTrayWhenItComesAndFallsBackOnlyOnceAfterThePatience)
{
    const struct {
        const char* name;
        int trayAtPoll;
        std::chrono::milliseconds patience;
        const char* steps;
    } cases[] = {
        {"there at start", 0, 1h, "tray "},
        {"comes while waiting", 3, 1h, "tray "},
        {"comes after the fall-back", 40, 0ms, "window tray "},
        {"never comes", -1, 0ms, "window "},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Steps(c.trayAtPoll, c.patience, 50), c.steps) << c.name;
    }
}

} // namespace
} // namespace pelmora
