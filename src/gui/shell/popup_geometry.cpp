#include "gui/shell/popup_geometry.h"

#include <QList>
#include <QPainter>
#include <QPen>
#include <QPolygonF>

#include "core/shell/popup_shape.h"

namespace pelmora {

QRect ToQRect(const PixelRect& rect)
{
    return {rect.x, rect.y, rect.width, rect.height};
}

PixelRect FromQRect(const QRect& rect)
{
    return {rect.x(), rect.y(), rect.width(), rect.height()};
}

QRegion PopUpRegion(int width, int height)
{
    QList<QRect> rows;
    for (const PixelSpan& span : PopUpRegionSpans(width, height)) {
        rows.append(QRect(span.left, span.y, span.right - span.left, 1));
    }
    QRegion region;
    region.setRects(rows.constData(), static_cast<int>(rows.size()));
    return region;
}

void PaintPopUpOutline(QPainter& painter, int width, int height)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    // A flat cap leaves out a line's last pixel, so each piece stops where
    // the next one starts.
    painter.setPen(QPen(Qt::black, 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    // The outline's coordinates name pixel centres; Qt's name pixel corners.
    painter.translate(0.5, 0.5);
    for (const std::vector<PixelPoint>& piece : PopUpOutline(width, height)) {
        QPolygonF line;
        line.reserve(static_cast<qsizetype>(piece.size()));
        for (const PixelPoint& point : piece) {
            line.append({point.x, point.y});
        }
        painter.drawPolyline(line);
    }
    painter.restore();
}

} // namespace pelmora
