#include "gui/shell/settings_command.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>

#include "core/base/app_paths.h"
#include "core/config/autostart_entry.h"
#include "core/i18n/languages.h"
#include "gui/config/settings_dialog.h"
#include "gui/i18n/form_translation.h"
#include "gui/shell/app_timer.h"
#include "gui/shell/log_window.h"
#include "gui/shell/main_form.h"
#include "support/gui/find_control.h"
#include "support/gui/modal_dialog.h"
#include "support/private_mounts.h"
#include "support/scoped_env.h"
#include "support/scripted_prober.h"
#include "support/skip_without_root.h"
#include "support/temp_dir.h"

namespace pelmora {
namespace {

using test::ClickButton;
using test::FindControl;
using test::ReadFile;
using test::TempDir;
using test::WhenModalOpens;
using test::WriteFile;

TfrmSettings& AsSettings(QWidget& window)
{
    auto* dialog = qobject_cast<TfrmSettings*>(&window);
    EXPECT_NE(dialog, nullptr);
    return *dialog;
}

void SetField(QWidget& dialog, const char* name, int value)
{
    FindControl<QSpinBox>(dialog, name)->setValue(value);
}

// The running program over scripted probes, with its folder, settings file
// and two languages of the test's own. No timer starts a cycle: only the one
// at start and those the test asks for run.
class SettingsCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetExecutableDirForTesting(dir_.Path());
        configHome_.emplace("XDG_CONFIG_HOME", (dir_ / "config").string());
    }
    void TearDown() override
    {
        form_.reset();
        SetExecutableDirForTesting({});
        configHome_.reset();
    }

    std::filesystem::path AutostartFile() const { return AutostartFilePath(dir_ / "config"); }

    void Install(const std::string& hosts, int popUpInterval = 5000)
    {
        std::filesystem::create_directory(dir_ / "Languages");
        WriteFile(dir_ / "Languages" / "Test.lng", "[frmMain]\nmiLog=Test log\n");
        WriteFile(dir_ / "Languages" / "Other.lng", "[frmMain]\nmiLog=Other log\n");
        WriteFile(dir_ / "Pelmora.ini",
                  "[HostList]\n" + hosts + "[CheckParams]\nCheckPeriod=0\nPopUpInterval=" +
                      std::to_string(popUpInterval) +
                      "\nParallelChecks=40\nAttempts=3\n[General]\nLanguage=Test\n"
                      // The balloon even without a tray here.
                      "[View]\nReportStyle=1\n");
    }

    // Starts the program and lets its first cycle end.
    void Start()
    {
        form_ = std::make_unique<TfrmMain>(prober_);
        LoadLanguageNameAndRetranslate();
        form_->FormCreate(&log_);
        ASSERT_TRUE(QTest::qWaitFor([this] { return form_->Worker()->IsAsleep(); }, 10000));
        form_->memReportClick();
    }

    std::vector<std::pair<std::string, std::string>> Hosts() const
    {
        std::vector<std::pair<std::string, std::string>> hosts;
        hosts.reserve(form_->Hosts().Count());
        for (std::size_t i = 0; i < form_->Hosts().Count(); ++i) {
            hosts.emplace_back(form_->Hosts().At(i)->Target(), form_->Hosts().At(i)->Proxy());
        }
        return hosts;
    }

    bool AllDown() const
    {
        for (std::size_t i = 0; i < form_->Hosts().Count(); ++i) {
            if (form_->Hosts().At(i)->State() != HostState::Down) {
                return false;
            }
        }
        return true;
    }

    QString LogItemCaption() const
    {
        return form_->TrayMenu()->findChild<QAction*>(QStringLiteral("miLog"))->text();
    }

    TempDir dir_;
    std::optional<test::ScopedEnv> configHome_;
    TfrmLog log_;
    test::ScriptedProber prober_{test::LoopbackAnswers};
    std::unique_ptr<TfrmMain> form_;
};

TEST_F(SettingsCommand, OkRebuildsTheListWithEveryEntryDownAndSavesIt)
{
    Install("Item0=127.0.0.1\n"
            "Item1=http://192.0.2.9/ 10.0.0.1:70000\n"
            "Item2=http://192.0.2.8/ 10.0.0.2:80x\n");
    Start();
    ASSERT_EQ(form_->Hosts().At(0)->State(), HostState::Up);

    WhenModalOpens([this](QWidget& window) {
        TfrmSettings& dialog = AsSettings(window);
        EXPECT_EQ(OpenSettingsDialog(), &dialog);
        EXPECT_EQ(FindControl<QListWidget>(dialog, "lbSettings")->currentRow(), 0);
        ASSERT_EQ(dialog.HostLineCount(), 3);
        EXPECT_EQ(dialog.HostLineText(1), "http://192.0.2.9/");
        EXPECT_EQ(dialog.HostLineProxy(1), (TProxyRecord{"10.0.0.1", 70000 - 65536}));
        // A proxy whose port is no number shows as none.
        EXPECT_EQ(dialog.HostLineProxy(2), std::nullopt);
        const Settings shown = dialog.Edited();
        EXPECT_EQ(shown.popUpInterval, 5000);
        EXPECT_EQ(shown.checkPeriod, 0);
        EXPECT_EQ(shown.parallelChecks, 40U);
        EXPECT_EQ(shown.attempts, 3);
        EXPECT_EQ(shown.font, form_->Font());
        EXPECT_EQ(FindControl<QComboBox>(dialog, "cbLang")->currentText(), QStringLiteral("Test"));

        // A second Settings click while the dialog is open does nothing.
        form_->miSettingsClick();
        EXPECT_EQ(form_->findChildren<TfrmSettings*>().size(), 1);

        SetField(dialog, "sePopUpInt", 7000);
        SetField(dialog, "seParallelChecks", 7);
        SetField(dialog, "seAttempts", 2);
        ClickButton(dialog, "btnOK");
    });
    form_->miSettingsClick();

    EXPECT_EQ(OpenSettingsDialog(), nullptr);
    EXPECT_TRUE(form_->findChildren<TfrmSettings*>().empty());
    EXPECT_EQ(
        Hosts(),
        (std::vector<std::pair<std::string, std::string>>{
            {"127.0.0.1", ""}, {"http://192.0.2.9/", "10.0.0.1:4464"}, {"http://192.0.2.8/", ""}}));
    EXPECT_TRUE(AllDown());
    EXPECT_EQ(form_->HideTimer()->Interval(), 7000);
    EXPECT_EQ(form_->AskTimer()->Interval(), 0);
    EXPECT_EQ(form_->RunningSettings().parallelChecks, 7U);
    EXPECT_EQ(form_->RunningSettings().attempts, 2);
    const std::string saved = ReadFile(dir_ / "Pelmora.ini");
    EXPECT_NE(saved.find("Item1=http://192.0.2.9/ 10.0.0.1:4464\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("Item2=http://192.0.2.8/\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("PopUpInterval=7000\nParallelChecks=7\nAttempts=2\n"), std::string::npos)
        << saved;
    EXPECT_NE(saved.find("Language=Test\n"), std::string::npos) << saved;

    // Every entry is new, so the next cycle reports the reachable one again.
    form_->Worker()->Wake();
    ASSERT_TRUE(QTest::qWaitFor([this] { return form_->isVisible(); }, 10000));
    EXPECT_EQ(form_->ReportMemo()->toPlainText(), QStringLiteral("AppearHosts\n  127.0.0.1"));
}

TEST_F(SettingsCommand, CancelReadsTheLanguageBackAndKeepsAChosenFont)
{
    Install("Item0=127.0.0.1\n");
    Start();
    const std::string before = ReadFile(dir_ / "Pelmora.ini");
    EXPECT_EQ(LogItemCaption(), QStringLiteral("Test log"));

    WhenModalOpens([this](QWidget& dialog) {
        auto* language = FindControl<QComboBox>(dialog, "cbLang");
        language->clearEditText();
        QTest::keyClicks(language, QStringLiteral("Other"));
        EXPECT_EQ(CurrentLanguage(), "Other");
        EXPECT_EQ(LogItemCaption(), QStringLiteral("Other log"));

        SetField(dialog, "sePopUpInt", 1);
        SetField(dialog, "seParallelChecks", 1);
        WhenModalOpens([](QWidget& chooser) {
            FindControl<QFontComboBox>(chooser, "cbFace")
                ->setEditText(QStringLiteral("Chosen Face"));
            chooser.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        });
        ClickButton(dialog, "btnFontInPopUp");
        EXPECT_EQ(form_->Font().name, "Chosen Face");
        ClickButton(dialog, "btnCancel");
    });
    form_->miSettingsClick();

    EXPECT_EQ(OpenSettingsDialog(), nullptr);
    EXPECT_EQ(CurrentLanguage(), "Test");
    EXPECT_EQ(LogItemCaption(), QStringLiteral("Test log"));
    EXPECT_EQ(form_->Font().name, "Chosen Face");
    EXPECT_EQ(form_->ReportMemo()->font().family(), QStringLiteral("Chosen Face"));
    EXPECT_EQ(form_->HideTimer()->Interval(), 5000);
    EXPECT_EQ(form_->RunningSettings().parallelChecks, 40U);
    ASSERT_EQ(form_->Hosts().Count(), 1U);
    EXPECT_EQ(form_->Hosts().At(0)->State(), HostState::Up);
    EXPECT_EQ(ReadFile(dir_ / "Pelmora.ini"), before);
}

TEST_F(SettingsCommand, OkWhileACycleRunsRebuildsOnlyAfterItsEnd)
{
    Install("Item0=127.0.0.1\nItem1=192.0.2.2\n");
    LoadLanguageName();
    form_ = std::make_unique<TfrmMain>(prober_);
    form_->FormCreate(&log_);
    // The first entry has been reported; the silent one keeps the cycle busy.
    ASSERT_TRUE(
        QTest::qWaitFor([this] { return form_->Hosts().At(0)->State() == HostState::Up; }, 10000));
    ASSERT_FALSE(form_->Worker()->IsAsleep());

    WhenModalOpens([](QWidget& dialog) { ClickButton(dialog, "btnOK"); });
    form_->miSettingsClick();

    // The cycle ended, and reported against the old list, before the new
    // list took its place.
    EXPECT_TRUE(form_->Worker()->IsAsleep());
    EXPECT_TRUE(form_->isVisible());
    EXPECT_EQ(form_->ReportMemo()->toPlainText(), QStringLiteral("AppearHosts\n  127.0.0.1"));
    EXPECT_EQ(form_->Hosts().Count(), 2U);
    EXPECT_TRUE(AllDown());
}

TEST_F(SettingsCommand, ASaveThatFailsIsReportedAndTheNewValuesStay)
{
    std::string whyNot;
    if (!test::EnterPrivateMounts(&whyNot)) {
        test::SkipWithoutRoot(whyNot);
        return;
    }
    ASSERT_TRUE(test::MountTmpfs(dir_.Path(), 1024, &whyNot)) << whyNot;
    Install("Item0=127.0.0.1\nItem1=192.0.2.7\n");
    // The file beside the program and the one in the configuration home
    // alike: no place is left to save into.
    std::filesystem::create_directories(dir_ / "config" / "Pelmora");
    WriteFile(dir_ / "config" / "Pelmora" / "Pelmora.ini", ReadFile(dir_ / "Pelmora.ini"));
    const std::string before = ReadFile(dir_ / "Pelmora.ini");
    ASSERT_TRUE(test::RemountReadOnly(dir_.Path(), &whyNot)) << whyNot;
    Start();

    QString message;
    WhenModalOpens([&message](QWidget& dialog) {
        FindControl<QListWidget>(dialog, "lbxHosts")->setCurrentRow(1);
        ClickButton(dialog, "btnDelete");
        SetField(dialog, "sePopUpInt", 900);
        WhenModalOpens([&message](QWidget& box) {
            message = qobject_cast<QMessageBox*>(&box)->text();
            box.close();
        });
        ClickButton(dialog, "btnOK");
    });
    form_->miSettingsClick();

    EXPECT_EQ(message.toStdString(),
              "Unable to write to " + (dir_ / "config" / "Pelmora" / "Pelmora.ini").string());
    EXPECT_EQ(ReadFile(dir_ / "Pelmora.ini"), before);
    EXPECT_EQ(ReadFile(dir_ / "config" / "Pelmora" / "Pelmora.ini"), before);
    EXPECT_EQ(Hosts(), (std::vector<std::pair<std::string, std::string>>{{"127.0.0.1", ""}}));
    EXPECT_EQ(form_->HideTimer()->Interval(), 900);
    EXPECT_EQ(OpenSettingsDialog(), nullptr);

    // The worker was released and the command still works.
    form_->Worker()->Wake();
    ASSERT_TRUE(QTest::qWaitFor([this] { return form_->isVisible(); }, 10000));
    bool opened = false;
    WhenModalOpens([&opened](QWidget& dialog) {
        opened = true;
        ClickButton(dialog, "btnCancel");
    });
    form_->miSettingsClick();
    EXPECT_TRUE(opened);
}

// An installed program cannot write beside itself: the first save goes to
// the configuration home, into a folder made for it, and the read-only file
// beside the program gave the first values.
TEST_F(SettingsCommand, WithoutAWritableFileBesideTheProgramTheSaveGoesToTheConfigurationHome)
{
    std::string whyNot;
    if (!test::EnterPrivateMounts(&whyNot)) {
        test::SkipWithoutRoot(whyNot);
        return;
    }
    const auto program = dir_ / "bin";
    std::filesystem::create_directories(program);
    ASSERT_TRUE(test::MountTmpfs(program, 64, &whyNot)) << whyNot;
    WriteFile(program / "Pelmora.ini", "[HostList]\nItem0=127.0.0.1\n[CheckParams]\n"
                                       "CheckPeriod=0\n[Site]\nOwner=ops\n");
    ASSERT_TRUE(test::RemountReadOnly(program, &whyNot)) << whyNot;
    SetExecutableDirForTesting(program);
    Start();
    EXPECT_EQ(Hosts(), (std::vector<std::pair<std::string, std::string>>{{"127.0.0.1", ""}}));

    WhenModalOpens([](QWidget& dialog) {
        SetField(dialog, "sePopUpInt", 900);
        ClickButton(dialog, "btnOK");
    });
    form_->miSettingsClick();

    const std::string saved = ReadFile(dir_ / "config" / "Pelmora" / "Pelmora.ini");
    EXPECT_NE(saved.find("Item0=127.0.0.1\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("PopUpInterval=900\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("Owner=ops\n"), std::string::npos) << saved;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(program),
                            std::filesystem::directory_iterator()),
              1);
    EXPECT_EQ(SettingsFilePath(), dir_ / "config" / "Pelmora" / "Pelmora.ini");
}

TEST_F(SettingsCommand, StartAtLoginWritesAndRemovesTheLoginEntryOfThisProgram)
{
    Install("");
    Start();
    const auto toggle = [this](bool expectedBefore, bool wanted) {
        WhenModalOpens([=](QWidget& dialog) {
            auto* box = FindControl<QCheckBox>(dialog, "cbAutostart");
            EXPECT_EQ(box->isChecked(), expectedBefore);
            box->setChecked(wanted);
            ClickButton(dialog, "btnOK");
        });
        form_->miSettingsClick();
    };
    toggle(false, true);
    const std::string entry = ReadFile(AutostartFile());
    EXPECT_NE(entry.find("\nExec=" + ExecValue(ExecutablePath()) + "\n"), std::string::npos)
        << entry;
    toggle(true, false);
    EXPECT_FALSE(std::filesystem::exists(AutostartFile()));
    toggle(false, false);
}

TEST_F(SettingsCommand, StartAtLoginLeavesAnotherCopysEntryAndSaysSo)
{
    Install("");
    const std::string other = "[Desktop Entry]\nExec=/usr/bin/Pelmora\n";
    std::filesystem::create_directories(AutostartFile().parent_path());
    WriteFile(AutostartFile(), other);
    Start();

    QString message;
    WhenModalOpens([&message](QWidget& dialog) {
        auto* box = FindControl<QCheckBox>(dialog, "cbAutostart");
        EXPECT_TRUE(box->isChecked());
        box->setChecked(false);
        WhenModalOpens([&message](QWidget& error) {
            message = qobject_cast<QMessageBox*>(&error)->text();
            error.close();
        });
        ClickButton(dialog, "btnOK");
    });
    form_->miSettingsClick();

    EXPECT_EQ(message.toStdString(), "AutostartElsewhere\n" + AutostartFile().string());
    EXPECT_EQ(ReadFile(AutostartFile()), other);
    // The rest of the dialog's values were saved all the same.
    EXPECT_TRUE(std::filesystem::exists(dir_ / "Pelmora.ini"));
}

} // namespace
} // namespace pelmora
