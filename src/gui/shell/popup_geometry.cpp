#include "gui/shell/popup_geometry.h"

#include <QList>
#include <QPainter>
#include <QPen>
#include <QPolygon>

#include <algorithm>
#include <cmath>

namespace pelmora {
namespace {

constexpr int kPopUpWidth = 245;
constexpr int kMemoMargin = 10;
// Between the tail's tip and the screen's bottom edge: clear of a taskbar.
constexpr int kBottomGap = 35;
constexpr int kRightGap = 5;

// A box given as left, top, right, bottom, the way the shape is laid out.
QRect Box(int left, int top, int right, int bottom)
{
    return {left, top, right - left, bottom - top};
}

// Direction from the centre of the ellipse touching all four sides of the
// box towards `through`, measured in the ellipse's own parameter (the
// ellipse squeezed to a circle) as a unit vector, y upwards.
QPointF EllipseDirection(const QRectF& box, const QPointF& through)
{
    const QPointF centre = box.center();
    const double right = (through.x() - centre.x()) / box.width();
    const double up = (centre.y() - through.y()) / box.height(); // screen y grows downwards
    const double length = std::sqrt(right * right + up * up);
    return {right / length, up / length};
}

// Arc of the ellipse touching all four sides of the box, drawn
// counter-clockwise from the ray through `start` to the ray through `end`,
// less than a half turn. It is drawn as short chords found with square roots
// alone: with no trigonometry the pop-up does not pull the maths library's
// large tables into memory for four small corners.
void DrawArc(QPainter& painter, const QRect& box, const QPoint& start, const QPoint& end)
{
    // The ellipse runs through the pixel columns left and right themselves.
    const QRectF shape(box);
    const QPointF centre = shape.center();
    const QPointF from = EllipseDirection(shape, start);
    const QPointF to = EllipseDirection(shape, end);
    constexpr int kChords = 16;
    QPolygonF arc;
    arc.reserve(kChords + 1);
    for (int i = 0; i <= kChords; ++i) {
        // Under a half turn the straight blend of the two directions sweeps
        // the angle between them once, in order.
        const double t = static_cast<double>(i) / kChords;
        const QPointF blend = from + (to - from) * t;
        const double length = std::sqrt(QPointF::dotProduct(blend, blend));
        arc.append({centre.x() + shape.width() / 2.0 * blend.x() / length,
                    centre.y() - shape.height() / 2.0 * blend.y() / length});
    }
    painter.drawPolyline(arc);
}

// Pixels of the ellipse filling the box, right and bottom edges outside: a
// pixel belongs when its centre lies in the ellipse, so the shape comes out
// symmetric in the box, as the window system cuts elliptic regions. (Qt's own
// elliptic region tests pixel corners, which drops the top row and would cut
// away the outline drawn along the corner.)
QRegion EllipseRegion(const QRect& box)
{
    const double rx = box.width() / 2.0;
    const double ry = box.height() / 2.0;
    const double cx = box.x() + rx;
    const double cy = box.y() + ry;
    QList<QRect> rows;
    for (int y = box.top(); y <= box.bottom(); ++y) {
        const double dy = (y + 0.5 - cy) / ry;
        const double reach = rx * std::sqrt(std::max(0.0, 1.0 - dy * dy));
        const auto left = static_cast<int>(std::ceil(cx - reach - 0.5));
        const auto right = static_cast<int>(std::floor(cx + reach - 0.5));
        if (left <= right) {
            rows.append(QRect(left, y, right - left + 1, 1));
        }
    }
    QRegion region;
    region.setRects(rows.constData(), static_cast<int>(rows.size()));
    return region;
}

} // namespace

int PopUpCharHeight(double points, double pixelsPerInch)
{
    return static_cast<int>(std::floor(points * pixelsPerInch / 72.0 + 0.5));
}

int PopUpLineCount(const QString& text)
{
    // Every LF ends a line (a CR before it belongs to the break); only text
    // after the last break makes one more.
    const auto breaks = static_cast<int>(text.count(QLatin1Char('\n')));
    return text.endsWith(QLatin1Char('\n')) ? breaks : breaks + 1;
}

PopUpPlacement PlacePopUp(int lineCount, int charHeight, const QRect& screen)
{
    const int width = kPopUpWidth;
    const int wanted = (lineCount + 1) * (charHeight + 2) + 50;
    const int height = std::min(wanted, screen.height() - kBottomGap);
    const QRect window(screen.x() + screen.width() - width - kRightGap,
                       screen.y() + screen.height() - height - kBottomGap, width, height);
    const QRect memo(kMemoMargin, kMemoMargin, width - 2 * kMemoMargin, height - 40);
    return {window, memo};
}

QRegion PopUpRegion(int width, int height)
{
    const int w = width;
    const int h = height;
    QRegion region = EllipseRegion(Box(0, 0, 20, 20));
    region += EllipseRegion(Box(w - 20, 0, w, 20));
    region += EllipseRegion(Box(0, h - 40, 20, h - 20));
    region += EllipseRegion(Box(w - 20, h - 40, w, h - 20));
    const QPolygon body({{10, 0},
                         {0, 10},
                         {0, h - 30},
                         {10, h - 20},
                         {w - 80, h - 20},
                         {w - 71, h},
                         {w - 70, h - 20},
                         {w - 12, h - 20},
                         {w, h - 32},
                         {w, 10},
                         {w - 10, 0}});
    region += QRegion(body, Qt::WindingFill);
    return region;
}

void PaintPopUpOutline(QPainter& painter, int width, int height)
{
    const int w = width;
    const int h = height;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    // A flat cap leaves out a line's last pixel, so each piece stops where
    // the next one starts.
    painter.setPen(QPen(Qt::black, 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    // The outline's coordinates name pixel centres; Qt's name pixel corners.
    painter.translate(0.5, 0.5);

    DrawArc(painter, Box(0, 0, 20, 20), {10, 0}, {0, 10});
    painter.drawLine(QPoint(0, 9), QPoint(0, h - 30));
    DrawArc(painter, Box(0, h - 41, 20, h - 21), {0, h - 31}, {10, h - 21});
    const QPolygon bottom(
        {{9, h - 21}, {w - 80, h - 21}, {w - 71, h - 1}, {w - 71, h - 21}, {w - 11, h - 21}});
    painter.drawPolyline(bottom);
    DrawArc(painter, Box(w - 21, h - 41, w - 1, h - 21), {w - 11, h - 21}, {w - 1, h - 31});
    painter.drawLine(QPoint(w - 1, h - 31), QPoint(w - 1, 9));
    DrawArc(painter, Box(w - 21, 0, w - 1, 20), {w, 9}, {w - 11, 0});
    painter.drawLine(QPoint(w - 10, 0), QPoint(10, 0));

    painter.restore();
}

} // namespace pelmora
