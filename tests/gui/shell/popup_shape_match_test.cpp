#include <gtest/gtest.h>

#include <QImage>
#include <QList>
#include <QPainter>
#include <QPen>
#include <QPolygon>

#include <algorithm>
#include <cmath>

#include "gui/shell/popup_geometry.h"

// The pop-up's region and outline used to be built with Qt's own shapes: Qt
// rasterised the polygon and drew the lines. That construction stands here as
// the reference the numbers of the core must reproduce pixel for pixel.
namespace pelmora {
namespace {

QRect Box(int left, int top, int right, int bottom)
{
    return {left, top, right - left, bottom - top};
}

QPointF EllipseDirection(const QRectF& box, const QPointF& through)
{
    const QPointF centre = box.center();
    const double right = (through.x() - centre.x()) / box.width();
    const double up = (centre.y() - through.y()) / box.height();
    const double length = std::sqrt(right * right + up * up);
    return {right / length, up / length};
}

void DrawArc(QPainter& painter, const QRect& box, const QPoint& start, const QPoint& end)
{
    const QRectF shape(box);
    const QPointF centre = shape.center();
    const QPointF from = EllipseDirection(shape, start);
    const QPointF to = EllipseDirection(shape, end);
    constexpr int kChords = 16;
    QPolygonF arc;
    for (int i = 0; i <= kChords; ++i) {
        const double t = static_cast<double>(i) / kChords;
        const QPointF blend = from + (to - from) * t;
        const double length = std::sqrt(QPointF::dotProduct(blend, blend));
        arc.append({centre.x() + shape.width() / 2.0 * blend.x() / length,
                    centre.y() - shape.height() / 2.0 * blend.y() / length});
    }
    painter.drawPolyline(arc);
}

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

QRegion ReferenceRegion(int w, int h)
{
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

void PaintReferenceOutline(QPainter& painter, int w, int h)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(Qt::black, 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    painter.translate(0.5, 0.5);
    DrawArc(painter, Box(0, 0, 20, 20), {10, 0}, {0, 10});
    painter.drawLine(QPoint(0, 9), QPoint(0, h - 30));
    DrawArc(painter, Box(0, h - 41, 20, h - 21), {0, h - 31}, {10, h - 21});
    painter.drawPolyline(QPolygon(
        {{9, h - 21}, {w - 80, h - 21}, {w - 71, h - 1}, {w - 71, h - 21}, {w - 11, h - 21}}));
    DrawArc(painter, Box(w - 21, h - 41, w - 1, h - 21), {w - 11, h - 21}, {w - 1, h - 31});
    painter.drawLine(QPoint(w - 1, h - 31), QPoint(w - 1, 9));
    DrawArc(painter, Box(w - 21, 0, w - 1, 20), {w, 9}, {w - 11, 0});
    painter.drawLine(QPoint(w - 10, 0), QPoint(10, 0));
    painter.restore();
}

template <typename Paint> QImage Painted(int w, int h, Paint paint)
{
    // A margin shows anything drawn beside the window too.
    constexpr int kMargin = 3;
    QImage image(w + 2 * kMargin, h + 2 * kMargin, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.translate(kMargin, kMargin);
    paint(painter);
    return image;
}

// Every height a report can give the window, and widths around the one it
// always has, so that the tail and the corners meet at every offset.
TEST(PopUpShapeMatchesTheQtConstruction, RegionAndOutlinePixelForPixel)
{
    for (const int w : {100, 181, 244, 245, 246, 320}) {
        for (int h = 42; h <= 600; ++h) {
            SCOPED_TRACE(testing::Message() << w << " x " << h);
            EXPECT_TRUE((PopUpRegion(w, h) ^ ReferenceRegion(w, h)).isEmpty());
            const QImage ours = Painted(w, h, [&](QPainter& p) { PaintPopUpOutline(p, w, h); });
            const QImage reference =
                Painted(w, h, [&](QPainter& p) { PaintReferenceOutline(p, w, h); });
            EXPECT_TRUE(ours == reference);
        }
    }
}

} // namespace
} // namespace pelmora
