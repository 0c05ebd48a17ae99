#include "core/shell/overall_status.h"

#include <gtest/gtest.h>

#include <functional>

namespace pelmora {
namespace {

TEST(OverallStatus, CountsDownHostsAndPicksThePicture)
{
    OverallStatus status;
    const struct {
        const char* step;
        std::function<void()> act;
        std::size_t down;
        TrayState state;
    } cases[] = {
        {"empty list", [] {}, 0, TrayState::AllUp},
        {"two entries, both down at first",
         [&] {
             status.Appended(HostState::Down);
             status.Appended(HostState::Down);
         },
         2, TrayState::SomeDown},
        {"one comes up", [&] { status.Changed(0, HostState::Up); }, 1, TrayState::SomeDown},
        {"the same change again counts once", [&] { status.Changed(0, HostState::Up); }, 1,
         TrayState::SomeDown},
        {"both up", [&] { status.Changed(1, HostState::Up); }, 0, TrayState::AllUp},
        {"an index past the list changes nothing", [&] { status.Changed(7, HostState::Down); }, 0,
         TrayState::AllUp},
        {"stopped wins over a down host",
         [&] {
             status.Changed(1, HostState::Down);
             status.SetRunning(false);
         },
         1, TrayState::Stopped},
        {"started again", [&] { status.SetRunning(true); }, 1, TrayState::SomeDown},
        {"an entry appended up", [&] { status.Appended(HostState::Up); }, 1, TrayState::SomeDown},
        {"the list rebuilt empty", [&] { status.Reset(); }, 0, TrayState::AllUp},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.step);
        c.act();
        EXPECT_EQ(status.DownCount(), c.down);
        EXPECT_EQ(status.State(), c.state);
    }
}

TEST(OverallStatus, TooltipIsTheHintThenTheDownCountWhileAnyIsDown)
{
    OverallStatus status;
    EXPECT_EQ(status.Tooltip("Pelmora", "%1 of %2 hosts down"), "Pelmora");
    EXPECT_EQ(status.Tooltip("", "%1 of %2 hosts down"), "");
    status.Appended(HostState::Down);
    status.Appended(HostState::Up);
    status.Appended(HostState::Down);
    const struct {
        const char* hint;
        const char* downTemplate;
        const char* tip;
    } cases[] = {
        {"Pelmora", "%1 of %2 hosts down", "Pelmora\n2 of 3 hosts down"},
        {"", "%1 of %2 hosts down", "2 of 3 hosts down"},
        // Another language's order, a placeholder twice, none at all.
        {"", "%2: %1 weg", "3: 2 weg"},
        {"", "%1/%2 (%1)", "2/3 (2)"},
        {"", "HostsDown", "HostsDown"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(status.Tooltip(c.hint, c.downTemplate), c.tip) << c.downTemplate;
    }
    status.SetRunning(false);
    EXPECT_EQ(status.Tooltip("Pelmora", "%1 of %2"), "Pelmora") << "stopped shows no count";
}

} // namespace
} // namespace pelmora
