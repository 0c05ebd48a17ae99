#include "gui/shell/main_form.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>

#include "core/base/app_paths.h"
#include "core/i18n/languages.h"
#include "gui/shell/app_timer.h"
#include "gui/shell/image_list.h"
#include "gui/shell/log_window.h"
#include "support/scripted_prober.h"
#include "support/temp_dir.h"

namespace pelmora {
namespace {

using test::TempDir;
using test::WriteFile;

// The program's folder is a fresh temporary one: its Pelmora.ini is the
// test's, and it has no language files, so every message shows its key.
// Loopback hosts answer, 192.0.2.2 is silent, anything else refuses.
class MainForm : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetExecutableDirForTesting(dir_.Path());
        SetCurrentLanguage("English");
    }
    void TearDown() override { SetExecutableDirForTesting({}); }

    void Install(const std::string& hosts, const std::string& extra = {})
    {
        // Reports go to the balloon even without a tray here.
        WriteFile(dir_ / "Pelmora.ini", "[View]\nReportStyle=1\n[HostList]\n" + hosts + extra);
    }

    static bool WaitFor(const std::function<bool()>& condition, int ms = 5000)
    {
        return QTest::qWaitFor(condition, ms);
    }

    TempDir dir_;
    test::ScriptedProber prober_{test::LoopbackAnswers};
};

qint64 KeyOf(const QIcon& icon)
{
    return icon.cacheKey();
}

TEST_F(MainForm, TrayMenuHasItsItemsInOrderWithTheirPictures)
{
    Install("");
    TfrmMain form(prober_);
    const QList<QAction*> items = form.TrayMenu()->actions();
    ASSERT_EQ(items.size(), 8);
    struct Expected {
        const char* name;
        const char* caption;
        MainImage image;
    };
    const Expected expected[] = {{"miStart", "Stop", MainImage::Stop},
                                 {"miHoststate", "Hosts state ", MainImage::HostsState},
                                 {"miLog", "Log", MainImage::Log},
                                 {"miSettings", "Settings", MainImage::Settings},
                                 {"miHelp", "Help", MainImage::Help},
                                 {"miAbout", "About", MainImage::About}};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(items[i]->objectName(), QLatin1String(expected[i].name));
        EXPECT_EQ(items[i]->text(), QLatin1String(expected[i].caption));
        EXPECT_EQ(KeyOf(items[i]->icon()), KeyOf(MainImageIcon(expected[i].image)));
    }
    EXPECT_TRUE(items[6]->isSeparator());
    EXPECT_EQ(items[6]->objectName(), QStringLiteral("N1"));
    EXPECT_EQ(items[7]->objectName(), QStringLiteral("miQuit"));
    EXPECT_TRUE(items[7]->icon().isNull());
    EXPECT_EQ(form.TrayMenu()->defaultAction(), form.StartStopAction());
}

TEST_F(MainForm, HostsStateMirrorsTheListWithStatePicturesAndProxyTips)
{
    Install("Item0=127.0.0.1\nItem1=http://192.0.2.9/ 127.0.0.1:1\n",
            "[CheckParams]\nCheckPeriod=0\n");
    TfrmMain form(prober_);
    TfrmLog log;
    form.FormCreate(&log);
    QList<QAction*> items = form.HostStateMenu()->actions();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0]->text(), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(items[1]->toolTip(), QStringLiteral("127.0.0.1:1"));
    EXPECT_EQ(KeyOf(items[0]->icon()), KeyOf(MainImageIcon(MainImage::HostDown)));

    // The first cycle finds the loopback host and reports it.
    ASSERT_TRUE(WaitFor([&] { return form.isVisible(); }));
    EXPECT_EQ(KeyOf(items[0]->icon()), KeyOf(MainImageIcon(MainImage::HostUp)));
    EXPECT_EQ(KeyOf(items[1]->icon()), KeyOf(MainImageIcon(MainImage::HostDown)));
    // The host that answered shows how fast, in the shortcut column; the
    // one that did not shows its address alone.
    EXPECT_TRUE(QRegularExpression(QStringLiteral(R"(^127\.0\.0\.1\t\d+\.\d\d ms$)"))
                    .match(items[0]->text())
                    .hasMatch())
        << items[0]->text().toStdString();
    EXPECT_EQ(items[1]->text(), QStringLiteral("http://192.0.2.9/"));
    EXPECT_EQ(form.ReportMemo()->toPlainText(), QStringLiteral("AppearHosts\n  127.0.0.1"));
    EXPECT_TRUE(log.Memo()->toPlainText().contains(QStringLiteral(". AppearHost 127.0.0.1\n")));
}

TEST_F(MainForm, WithoutANotificationAreaTheLogWindowCarriesTheMenu)
{
    Install("");
    TfrmMain form(prober_);
    TfrmLog log;
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable()); // headless
    form.SetTrayWatch(&QSystemTrayIcon::isSystemTrayAvailable, std::chrono::milliseconds(0));
    form.FormCreate(&log);
    ASSERT_TRUE(WaitFor([&] { return log.isVisible(); }));
    EXPECT_TRUE(log.Memo()->toPlainText().startsWith(QStringLiteral("No notification area")));
    const QList<QMenuBar*> bars = log.findChildren<QMenuBar*>();
    ASSERT_EQ(bars.size(), 1);
    EXPECT_EQ(bars[0]->actions().value(0)->menu(), form.TrayMenu());
}

// Started with the desktop, the program often comes before the panel: it
// checks while it waits, and a tray that comes even after it gave up and
// showed its window still takes it in.
TEST_F(MainForm, ATrayThatComesLaterTakesTheProgramIn)
{
    Install("Item0=127.0.0.1\n", "[CheckParams]\nCheckPeriod=0\n");
    TfrmMain form(prober_);
    TfrmLog log;
    bool tray = false;
    form.SetTrayWatch([&tray] { return tray; }, std::chrono::milliseconds(1500));
    const auto* icon = form.findChild<QSystemTrayIcon*>();
    form.FormCreate(&log);

    // Waiting: no window, no icon, and the first cycle reports all the same.
    ASSERT_TRUE(WaitFor([&] { return form.Worker()->IsAsleep() && form.isVisible(); }));
    EXPECT_FALSE(log.isVisible());
    EXPECT_FALSE(icon->isVisible());

    ASSERT_TRUE(WaitFor([&] { return log.isVisible(); }));
    EXPECT_EQ(log.MenuBar()->actions().value(0)->menu(), form.TrayMenu());

    tray = true;
    ASSERT_TRUE(WaitFor([&] { return icon->isVisible(); }));
    EXPECT_EQ(log.MenuBar(), nullptr);
    EXPECT_TRUE(log.findChildren<QMenuBar*>().isEmpty());
    EXPECT_EQ(icon->contextMenu(), form.TrayMenu());
}

TEST_F(MainForm, StopMarksEveryHostDownAndStartReportsThemAgain)
{
    Install("Item0=127.0.0.1\n", "[CheckParams]\nCheckPeriod=0\n");
    TfrmMain form(prober_);
    TfrmLog log;
    form.FormCreate(&log);
    ASSERT_TRUE(WaitFor([&] { return form.Worker()->IsAsleep() && form.isVisible(); }));
    form.memReportClick();
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(form.HideTimer()->Enabled());

    form.miStartClick();
    EXPECT_FALSE(form.IsRunning());
    EXPECT_FALSE(form.AskTimer()->Enabled());
    EXPECT_EQ(form.Hosts().At(0)->State(), HostState::Down);
    EXPECT_EQ(form.StartStopAction()->text(), QStringLiteral("Start"));
    EXPECT_EQ(KeyOf(form.StartStopAction()->icon()), KeyOf(MainImageIcon(MainImage::Start)));
    EXPECT_EQ(KeyOf(form.HostStateMenu()->actions()[0]->icon()),
              KeyOf(MainImageIcon(MainImage::HostDown)));
    EXPECT_EQ(form.HostStateMenu()->actions()[0]->text(), QStringLiteral("127.0.0.1"))
        << "a stopped host keeps no round trip";

    form.miStartClick();
    EXPECT_TRUE(form.IsRunning());
    EXPECT_TRUE(form.AskTimer()->Enabled());
    EXPECT_EQ(form.StartStopAction()->text(), QStringLiteral("Stop"));
    EXPECT_EQ(KeyOf(form.StartStopAction()->icon()), KeyOf(MainImageIcon(MainImage::Stop)));
    ASSERT_TRUE(WaitFor([&] { return form.isVisible(); }));
    EXPECT_EQ(form.Hosts().At(0)->State(), HostState::Up);
}

TEST_F(MainForm, PopUpSitsBottomRightShapedAsABalloon)
{
    Install("");
    TfrmMain form(prober_);
    Settings balloon;
    balloon.reportStyle = ReportStyle::Balloon;
    form.ApplySettings(balloon);
    form.Tray().ShowReport("LoseHosts\r\n  a\r\n\r\n");
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(form.width(), 245);
    EXPECT_EQ(form.geometry().right() + 1, screen.right() + 1 - 5);
    EXPECT_EQ(form.geometry().bottom() + 1, screen.bottom() + 1 - 35);
    EXPECT_EQ(form.ReportMemo()->geometry(), QRect(10, 10, 225, form.height() - 40));
    const QRegion mask = form.mask();
    EXPECT_TRUE(mask.contains(QPoint(form.width() - 71, form.height() - 1))); // the tail's tip
    EXPECT_FALSE(mask.contains(QPoint(0, 0)));
    EXPECT_FALSE(mask.contains(QPoint(20, form.height() - 5)));
}

TEST_F(MainForm, ASecondReportKeepsTheFirstCountdown)
{
    Install("", "[CheckParams]\nPopUpInterval=1000\n");
    TfrmMain form(prober_);
    TfrmLog log;
    form.ApplySettings(LoadSettings(dir_ / "Pelmora.ini"));
    form.Tray().ShowReport("AppearHosts\r\n  a");
    QTest::qWait(300);
    form.Tray().ShowReport("AppearHosts\r\n  a\r\n  b\r\n  c");
    EXPECT_LT(form.HideTimer()->RemainingMs(), 800);
    EXPECT_TRUE(WaitFor([&] { return !form.isVisible(); }, 2000));
}

TEST_F(MainForm, TheIcmpHintIsLoggedShownAndCarriedByTheNextReport)
{
    Install("", "[CheckParams]\nCheckPeriod=0\n");
    TfrmMain form(prober_);
    TfrmLog log;
    form.FormCreate(&log);
    form.Tray().IcmpNotPermitted("Not permitted: do this");
    EXPECT_TRUE(log.Memo()->toPlainText().contains(QStringLiteral(". Not permitted: do this\n")));
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.ReportMemo()->toPlainText(), QStringLiteral("Not permitted: do this"));
    form.Tray().ShowReport("AppearHosts\r\n  a");
    EXPECT_EQ(form.ReportMemo()->toPlainText(),
              QStringLiteral("Not permitted: do this\n\nAppearHosts\n  a"));
    form.Tray().ShowReport("AppearHosts\r\n  b");
    EXPECT_EQ(form.ReportMemo()->toPlainText(), QStringLiteral("AppearHosts\n  b"));
}

TEST_F(MainForm, ClosingInTheMiddleOfASlowProbeIsPrompt)
{
    Install("Item0=http://192.0.2.2/\n");
    auto form = std::make_unique<TfrmMain>(prober_);
    TfrmLog log;
    form->FormCreate(&log);
    QTest::qWait(200);
    EXPECT_FALSE(form->Worker()->IsAsleep());
    const auto start = std::chrono::steady_clock::now();
    form.reset();
    // The connect alone would take 3 s.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
}

} // namespace
} // namespace pelmora
