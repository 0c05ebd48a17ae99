#pragma once

#include <QObject>
#include <QString>

#include <cstdint>

namespace pelmora {

// What a desktop notification shows of an end-of-cycle report: its first
// line as the summary, the hosts below it as the body. Notification servers
// may read the body as markup, so it is escaped.
struct NotificationText {
    QString summary;
    QString body;
};
NotificationText NotificationTextOf(const QString& report);

// Sends reports to the desktop's notification service
// (org.freedesktop.Notifications on the session bus), for desktops where
// the balloon has no tray to stand by. Each report replaces the previous
// one, so they do not pile up. Calls never wait for the service: a missing
// or slow one costs nothing.
class DesktopNotifier final : public QObject {
public:
    explicit DesktopNotifier(QObject* parent = nullptr);

    void Show(const QString& report, int timeoutMs);
    // The service's id of the last notification, 0 until it answered.
    std::uint32_t LastId() const { return lastId_; }

private:
    std::uint32_t lastId_ = 0;
};

} // namespace pelmora
