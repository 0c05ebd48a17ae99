#include "gui/app/link_label.h"

#include <QMouseEvent>

#include <utility>

namespace pelmora {

LinkLabel::LinkLabel(const QString& text, QWidget* parent, std::function<void()> onClick)
    : QLabel(text, parent), onClick_(std::move(onClick))
{
    // A look of the label's own, which no skin overrides.
    setStyleSheet(QStringLiteral("color: rgb(0, 0, 251); text-decoration: underline;"));
    setCursor(Qt::PointingHandCursor);
    setToolTip(text);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        onClick_();
    }
}

} // namespace pelmora
