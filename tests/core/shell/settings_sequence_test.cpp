#include "core/shell/settings_sequence.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/base/app_paths.h"
#include "core/config/autostart_entry.h"
#include "core/config/host_lines.h"
#include "core/i18n/languages.h"
#include "core/monitor/hosts/host_list.h"
#include "core/monitor/worker/check_hosts.h"
#include "core/monitor/worker/hand_over_queue.h"
#include "support/scoped_env.h"
#include "support/scripted_prober.h"
#include "support/temp_dir.h"

namespace pelmora {
namespace {

using test::Answer;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

// The windows as the command sees them: the dialog answers with what the
// test chose, and every call is written down.
class FakeFront final : public SettingsFront {
public:
    std::optional<SettingsChoice> EditSettings(const SettingsChoice& values) override
    {
        shown.push_back(values);
        return dialog(values);
    }
    void ApplySettings(const Settings& settings) override
    {
        applied.push_back(settings);
        if (onApply) {
            onApply();
        }
    }
    void Retranslate() override { ++retranslations; }
    void ShowError(const std::string& message) override { errors.push_back(message); }

    std::function<std::optional<SettingsChoice>(const SettingsChoice&)> dialog;
    std::function<void()> onApply;
    std::vector<SettingsChoice> shown;
    std::vector<Settings> applied;
    int retranslations = 0;
    std::vector<std::string> errors;
};

class ReportSink final : public CheckSink {
public:
    void AppendLogLine(const std::string& /*line*/) override {}
    void ShowReport(const std::string& report) override { reports.push_back(report); }
    std::vector<std::string> reports;
};

// Its probes end only after the time an echo waits.
constexpr const char* kSilentHost = "192.0.2.2";

// The program's folder and its configuration home are the test's; the
// settings file beside the program is the one read and written.
class SettingsSequenceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetExecutableDirForTesting(dir_.Path());
        WriteFile(dir_ / "Pelmora.ini", "[General]\nLanguage=Saved\n");
        LoadLanguageName();
        running_.popUpInterval = 700;
        running_.attempts = 3;
        ReplaceHostList(hosts_, {{"10.0.0.1", ""}, {"http://10.0.0.7/", "10.0.0.1:3128"}});
        hosts_.SetAllDown();
        sequence_.SetWorker(&worker_);
    }
    void TearDown() override
    {
        worker_.Stop();
        SetExecutableDirForTesting({});
    }

    std::vector<HostLine> Lines() const { return HostLinesOf(hosts_); }

    TempDir dir_;
    test::ScopedEnv configHome_{"XDG_CONFIG_HOME", (dir_ / "config").string()};
    HostList hosts_;
    Settings running_;
    FakeFront front_;
    SettingsSequence sequence_{hosts_, running_, front_};
    test::ScriptedProber prober_{[](const ProbeJob& job) {
        return test::ProbedName(job) == kSilentHost ? Answer::Silent : Answer::Up;
    }};
    HandOverQueue handOver_;
    ReportSink sink_;
    TCheckHosts worker_{test::ScriptedLinks(hosts_, prober_, handOver_, sink_)};
};

TEST_F(SettingsSequenceTest, OkReplacesTheListAppliesTheWholeValueAndSavesIt)
{
    hosts_.SetState(0, HostState::Up);
    SetCurrentLanguage("Chosen");
    SettingsChoice edited;
    front_.dialog = [&edited](const SettingsChoice& values) {
        edited = values;
        edited.settings.hosts.push_back({"//pc1", ""});
        edited.settings.checkPeriod = 1234;
        edited.settings.language = "Typed";
        edited.startAtLogin = true;
        return edited;
    };
    sequence_.Run();

    ASSERT_EQ(front_.shown.size(), 1U);
    Settings expectedShown = running_;
    expectedShown.hosts = {{"10.0.0.1", ""}, {"http://10.0.0.7/", "10.0.0.1:3128"}};
    expectedShown.language = "Chosen";
    EXPECT_EQ(front_.shown[0], (SettingsChoice{expectedShown, false}));

    EXPECT_EQ(Lines(), edited.settings.hosts);
    for (std::size_t i = 0; i < hosts_.Count(); ++i) {
        EXPECT_EQ(hosts_.At(i)->State(), HostState::Down);
    }
    EXPECT_EQ(front_.applied, std::vector<Settings>{edited.settings});
    // The language in effect is saved, whatever the field last held.
    Settings saved = edited.settings;
    saved.language = "Chosen";
    EXPECT_EQ(LoadSettings(dir_ / "Pelmora.ini"), saved);
    EXPECT_TRUE(ReadAutostart(AutostartFilePath(dir_ / "config"), ExecutablePath()).on);
    EXPECT_TRUE(front_.errors.empty());
    EXPECT_EQ(front_.retranslations, 0);
    EXPECT_FALSE(sequence_.IsOpen());
}

TEST_F(SettingsSequenceTest, CancelReadsTheLanguageBackAndChangesNothingElse)
{
    const std::string before = ReadFile(dir_ / "Pelmora.ini");
    front_.dialog = [](const SettingsChoice&) {
        SetCurrentLanguage("Tried");
        return std::nullopt;
    };
    sequence_.Run();

    EXPECT_EQ(CurrentLanguage(), "Saved");
    EXPECT_EQ(front_.retranslations, 1);
    EXPECT_TRUE(front_.applied.empty());
    EXPECT_EQ(Lines(), front_.shown.at(0).settings.hosts);
    EXPECT_EQ(ReadFile(dir_ / "Pelmora.ini"), before);
    EXPECT_TRUE(front_.errors.empty());
}

TEST_F(SettingsSequenceTest, OneDialogAtATimeAndAnErrorLeavesTheCommandUsable)
{
    front_.dialog = [this](const SettingsChoice&) -> std::optional<SettingsChoice> {
        sequence_.Run(); // a second click while the dialog is open
        EXPECT_TRUE(sequence_.IsOpen());
        throw std::runtime_error("no dialog today");
    };
    sequence_.Run();
    EXPECT_EQ(front_.shown.size(), 1U);
    EXPECT_EQ(front_.errors, std::vector<std::string>{"no dialog today"});
    EXPECT_FALSE(sequence_.IsOpen());

    front_.dialog = [](const SettingsChoice&) { return std::nullopt; };
    sequence_.Run();
    EXPECT_EQ(front_.shown.size(), 2U);
}

// A folder where each settings file should be: the save is refused and said
// so, and what the dialog gave is in effect all the same.
TEST_F(SettingsSequenceTest, AFailedSaveIsReportedAfterTheValuesTookEffect)
{
    std::filesystem::remove(dir_ / "Pelmora.ini");
    std::filesystem::create_directories(dir_ / "Pelmora.ini");
    std::filesystem::create_directories(dir_ / "config" / "Pelmora" / "Pelmora.ini");
    front_.dialog = [](const SettingsChoice& values) {
        SettingsChoice edited = values;
        edited.settings.hosts.clear();
        return edited;
    };
    sequence_.Run();

    EXPECT_EQ(front_.errors,
              std::vector<std::string>{"Unable to write to " + SettingsFiles().write.string()});
    EXPECT_EQ(hosts_.Count(), 0U);
    EXPECT_EQ(front_.applied.size(), 1U);
}

// The list is replaced only once the cycle under way has ended and reported
// against the old list.
TEST_F(SettingsSequenceTest, OkWhileACycleRunsWaitsForItsEnd)
{
    hosts_.Append(kSilentHost, "");
    worker_.Wake();
    handOver_.ServeUntil([this] { return hosts_.At(0)->State() == HostState::Up; });
    ASSERT_FALSE(worker_.IsAsleep());

    bool asleepWhenApplied = false;
    front_.onApply = [&] { asleepWhenApplied = worker_.IsAsleep(); };
    front_.dialog = [](const SettingsChoice& values) { return values; };
    sequence_.Run();

    EXPECT_TRUE(asleepWhenApplied);
    EXPECT_EQ(sink_.reports.size(), 1U);
    EXPECT_EQ(hosts_.Count(), 3U);
    EXPECT_EQ(hosts_.At(0)->State(), HostState::Down);
}

} // namespace
} // namespace pelmora
