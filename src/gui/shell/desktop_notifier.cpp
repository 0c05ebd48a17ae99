#include "gui/shell/desktop_notifier.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStringList>
#include <QVariantMap>

namespace pelmora {
namespace {

constexpr const char* kService = "org.freedesktop.Notifications";
constexpr const char* kPath = "/org/freedesktop/Notifications";

} // namespace

NotificationText NotificationTextOf(const QString& report)
{
    QStringList lines = report.split(QLatin1Char('\n'));
    NotificationText text;
    text.summary = lines.isEmpty() ? QString() : lines.takeFirst().trimmed();
    for (QString& line : lines) {
        line = line.trimmed().toHtmlEscaped();
    }
    text.body = lines.join(QLatin1Char('\n')).trimmed();
    return text;
}

DesktopNotifier::DesktopNotifier(QObject* parent) : QObject(parent) {}

void DesktopNotifier::Show(const QString& report, int timeoutMs)
{
    const NotificationText text = NotificationTextOf(report);
    QDBusMessage call =
        QDBusMessage::createMethodCall(QLatin1String(kService), QLatin1String(kPath),
                                       QLatin1String(kService), QStringLiteral("Notify"));
    // A pop-up display time of 0 keeps the balloon until it is clicked; the
    // notification stays until dismissed then.
    call << QCoreApplication::applicationName() << lastId_ << QString() << text.summary << text.body
         << QStringList() << QVariantMap() << (timeoutMs > 0 ? timeoutMs : 0);
    auto* watcher =
        new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* done) {
                const QDBusPendingReply<std::uint32_t> reply = *done;
                if (reply.isValid()) {
                    lastId_ = reply.value();
                }
                done->deleteLater();
            });
}

} // namespace pelmora
