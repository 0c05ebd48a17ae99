#include "gui/shell/tray_status.h"

#include <QEvent>
#include <QSystemTrayIcon>
#include <QVariant>

#include "gui/config/local_text.h"
#include "gui/i18n/property_registry.h"
#include "gui/shell/image_list.h"

namespace pelmora {

TrayStatus::TrayStatus(QSystemTrayIcon* icon) : QObject(icon), icon_(icon)
{
    icon_->installEventFilter(this);
    Show();
}

void TrayStatus::Reset()
{
    status_.Reset();
    Show();
}

void TrayStatus::Appended(HostState state)
{
    status_.Appended(state);
    Show();
}

void TrayStatus::Changed(std::size_t index, HostState state)
{
    status_.Changed(index, state);
    Show();
}

void TrayStatus::SetRunning(bool running)
{
    status_.SetRunning(running);
    Show();
}

bool TrayStatus::eventFilter(QObject* watched, QEvent* event)
{
    // A language applied to the icon sets its hint; the counts go back on.
    if (watched == icon_ && event->type() == QEvent::DynamicPropertyChange) {
        status_.SetHint(ToLocal8Bit(icon_->property(kTrayHintProperty).toString()));
        Show();
    }
    return QObject::eventFilter(watched, event);
}

void TrayStatus::Show()
{
    const TrayState state = status_.State();
    if (shown_ != state) {
        icon_->setIcon(TrayIconPicture(state));
        shown_ = state;
    }
    const QString tip = FromLocal8Bit(status_.Tooltip());
    if (icon_->toolTip() != tip) {
        icon_->setToolTip(tip);
    }
}

} // namespace pelmora
