// Runs on a private session bus (CTest starts it under dbus-run-session) on
// which the test itself offers the notification service.
#include "gui/shell/desktop_notifier.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

#include "gui/shell/main_form.h"
#include "support/scripted_prober.h"

namespace pelmora {
namespace {

// org.freedesktop.Notifications as far as Notify goes: records each call and
// answers with the next notification id.
class FakeNotifications final : public QDBusVirtualObject {
public:
    struct Call {
        QString appName;
        unsigned replacesId;
        QString summary;
        QString body;
        int timeout;
    };

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        if (message.member() != QLatin1String("Notify")) {
            return false;
        }
        const QList<QVariant> args = message.arguments();
        calls.push_back({args.value(0).toString(), args.value(1).toUInt(), args.value(3).toString(),
                         args.value(4).toString(), args.value(7).toInt()});
        connection.send(message.createReply(QVariant::fromValue(nextId++)));
        return true;
    }
    QString introspect(const QString& /*path*/) const override { return {}; }

    std::vector<Call> calls;
    unsigned nextId = 41;
};

class DesktopNotifierTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        ASSERT_TRUE(bus.isConnected()) << "no session bus; run under dbus-run-session";
        ASSERT_TRUE(
            bus.registerVirtualObject(QStringLiteral("/org/freedesktop/Notifications"), &service_));
        ASSERT_TRUE(bus.registerService(QStringLiteral("org.freedesktop.Notifications")));
    }
    void TearDown() override
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.unregisterService(QStringLiteral("org.freedesktop.Notifications"));
        bus.unregisterObject(QStringLiteral("/org/freedesktop/Notifications"));
    }

    bool WaitForCalls(std::size_t count)
    {
        return QTest::qWaitFor([&] { return service_.calls.size() >= count; }, 5000);
    }

    FakeNotifications service_;
};

TEST_F(DesktopNotifierTest, SendsTheReportAndReplacesItsLastNotification)
{
    QCoreApplication::setApplicationName(QStringLiteral("Pelmora"));
    DesktopNotifier notifier;
    notifier.Show(
        QStringLiteral("LoseHosts\n  http://a/?x=1&y=<2>\n  10.0.0.1\n\nAppearHosts\n  b"), 5000);
    ASSERT_TRUE(WaitForCalls(1));
    const FakeNotifications::Call& first = service_.calls[0];
    EXPECT_EQ(first.appName, QStringLiteral("Pelmora"));
    EXPECT_EQ(first.replacesId, 0U);
    EXPECT_EQ(first.summary, QStringLiteral("LoseHosts"));
    EXPECT_EQ(first.body,
              QStringLiteral("http://a/?x=1&amp;y=&lt;2&gt;\n10.0.0.1\n\nAppearHosts\nb"));
    EXPECT_EQ(first.timeout, 5000);

    // A display time of 0 keeps the balloon until clicked; so too the
    // notification. The next report replaces the one still showing.
    ASSERT_TRUE(QTest::qWaitFor([&] { return notifier.LastId() == 41U; }, 5000));
    notifier.Show(QStringLiteral("AppearHosts\n  c"), 0);
    ASSERT_TRUE(WaitForCalls(2));
    EXPECT_EQ(service_.calls[1].replacesId, 41U);
    EXPECT_EQ(service_.calls[1].timeout, 0);
    EXPECT_EQ(service_.calls[1].body, QStringLiteral("c"));
}

TEST_F(DesktopNotifierTest, WithoutATrayTheReportBecomesANotificationUnlessTheBalloonIsChosen)
{
    const struct {
        ReportStyle style;
        bool balloon;
        bool notification;
    } cases[] = {
        {ReportStyle::Automatic, false, true},
        {ReportStyle::Balloon, true, false},
        {ReportStyle::Notification, false, true},
        {ReportStyle::Both, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.style));
        service_.calls.clear();
        test::ScriptedProber prober(test::NobodyAnswers);
        TfrmMain form(prober);
        Settings settings;
        settings.reportStyle = c.style;
        form.ApplySettings(settings);
        form.Tray().ShowReport("LoseHosts\r\n  a\r\n\r\n");
        if (c.notification) {
            ASSERT_TRUE(WaitForCalls(1));
            EXPECT_EQ(service_.calls[0].summary, QStringLiteral("LoseHosts"));
            EXPECT_EQ(service_.calls[0].body, QStringLiteral("a"));
        } else {
            QTest::qWait(100);
            EXPECT_TRUE(service_.calls.empty());
        }
        EXPECT_EQ(form.isVisible(), c.balloon);
    }
}

} // namespace
} // namespace pelmora
