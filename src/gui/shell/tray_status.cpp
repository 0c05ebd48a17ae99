#include "gui/shell/tray_status.h"

#include <QEvent>
#include <QSystemTrayIcon>
#include <QVariant>

#include "core/i18n/languages.h"
#include "gui/config/local_text.h"
#include "gui/i18n/property_registry.h"

namespace pelmora {
namespace {

QString DownTemplate()
{
    return FromLocal8Bit(MessageText("HostsDown"));
}

} // namespace

TrayStatus::TrayStatus(QSystemTrayIcon* icon)
    : QObject(icon), icon_(icon), downTemplate_(DownTemplate())
{
    icon_->installEventFilter(this);
    Show();
}

void TrayStatus::Reset()
{
    states_.clear();
    down_ = 0;
    Show();
}

void TrayStatus::Appended(HostState state)
{
    states_.push_back(state);
    down_ += state == HostState::Down ? 1 : 0;
    Show();
}

void TrayStatus::Changed(std::size_t index, HostState state)
{
    if (index >= states_.size() || states_[index] == state) {
        return;
    }
    states_[index] = state;
    if (state == HostState::Down) {
        ++down_;
    } else {
        --down_;
    }
    Show();
}

void TrayStatus::SetRunning(bool running)
{
    running_ = running;
    Show();
}

bool TrayStatus::eventFilter(QObject* watched, QEvent* event)
{
    // A language applied to the icon sets its hint; the counts go back on.
    if (watched == icon_ && event->type() == QEvent::DynamicPropertyChange) {
        hint_ = icon_->property(kTrayHintProperty).toString();
        downTemplate_ = DownTemplate();
        Show();
    }
    return QObject::eventFilter(watched, event);
}

void TrayStatus::Show()
{
    const TrayState state = !running_   ? TrayState::Stopped
                            : down_ > 0 ? TrayState::SomeDown
                                        : TrayState::AllUp;
    if (shown_ != state) {
        icon_->setIcon(TrayIconPicture(state));
        shown_ = state;
    }
    QString tip = hint_;
    if (state == TrayState::SomeDown) {
        const QString counts = QString(downTemplate_)
                                   .replace(QStringLiteral("%1"), QString::number(down_))
                                   .replace(QStringLiteral("%2"), QString::number(states_.size()));
        tip = tip.isEmpty() ? counts : tip + QLatin1Char('\n') + counts;
    }
    if (icon_->toolTip() != tip) {
        icon_->setToolTip(tip);
    }
}

} // namespace pelmora
