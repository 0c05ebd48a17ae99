#include "gui/shell/start_stop_item.h"

#include <QFontMetrics>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

namespace pelmora {

StartStopItem::StartStopItem(QWidgetAction* action, QWidget* parent)
    : QWidget(parent), action_(action)
{
    setObjectName(QStringLiteral("miStartItem"));
    connect(action_, &QAction::changed, this, [this] {
        updateGeometry();
        update();
    });
}

QFont StartStopItem::CaptionFont() const
{
    QFont bold = font();
    bold.setBold(true);
    return bold;
}

QSize StartStopItem::sizeHint() const
{
    const QFontMetrics metrics(CaptionFont());
    return {22 + metrics.horizontalAdvance(action_->text()) + 16,
            std::max(22, metrics.height() + 6)};
}

void StartStopItem::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    action_->icon().paint(&painter, QRect(7, 3, 16, 16));
    painter.setFont(CaptionFont());
    painter.setPen(QColor(113, 75, 57));
    painter.setClipRect(rect());
    painter.drawText(QRect(22, 2, width() - 22, height() - 2), Qt::AlignLeft | Qt::AlignTop,
                     action_->text());
}

void StartStopItem::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !rect().contains(event->position().toPoint())) {
        return;
    }
    // A hand-drawn item does not close its menu by itself.
    for (QWidget* widget = parentWidget(); widget != nullptr; widget = widget->parentWidget()) {
        if (auto* menu = qobject_cast<QMenu*>(widget)) {
            menu->close();
        }
    }
    action_->trigger();
}

QWidget* StartStopAction::createWidget(QWidget* parent)
{
    return new StartStopItem(this, parent);
}

} // namespace pelmora
