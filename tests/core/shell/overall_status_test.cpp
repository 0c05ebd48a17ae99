#include "core/shell/overall_status.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "core/base/app_paths.h"
#include "core/i18n/languages.h"
#include "support/temp_dir.h"

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

// The "HostsDown" text comes from the current language, read when the
// status is made and again with each hint, as a language was just applied.
class OverallStatusTooltip : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directory(dir_ / "Languages");
        Speak("%1 of %2 hosts down");
        SetExecutableDirForTesting(dir_.Path());
        SetCurrentLanguage("Test");
    }
    void TearDown() override
    {
        SetExecutableDirForTesting({});
        SetCurrentLanguage("");
    }
    void Speak(const std::string& hostsDown)
    {
        test::WriteFile(dir_ / "Languages" / "Test.lng",
                        "[Messages]\nHostsDown=" + hostsDown + "\n");
    }

    test::TempDir dir_;
};

TEST_F(OverallStatusTooltip, IsTheHintThenTheDownCountWhileAnyIsDown)
{
    OverallStatus status;
    EXPECT_EQ(status.Tooltip(), "");
    status.SetHint("Pelmora");
    EXPECT_EQ(status.Tooltip(), "Pelmora");
    status.Appended(HostState::Down);
    status.Appended(HostState::Up);
    status.Appended(HostState::Down);
    EXPECT_EQ(status.Tooltip(), "Pelmora\n2 of 3 hosts down");
    const struct {
        const char* hint;
        const char* hostsDown;
        const char* tip;
    } cases[] = {
        {"", "%1 of %2 hosts down", "2 of 3 hosts down"},
        // Another language's order, a placeholder twice, none at all.
        {"", "%2: %1 weg", "3: 2 weg"},
        {"", "%1/%2 (%1)", "2/3 (2)"},
        {"Pelmora", "down", "Pelmora\ndown"},
    };
    for (const auto& c : cases) {
        Speak(c.hostsDown);
        status.SetHint(c.hint);
        EXPECT_EQ(status.Tooltip(), c.tip) << c.hostsDown;
    }
    status.SetRunning(false);
    EXPECT_EQ(status.Tooltip(), "Pelmora") << "stopped shows no count";
}

} // namespace
} // namespace pelmora
