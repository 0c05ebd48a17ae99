#include "gui/shell/image_list.h"

#include <QColor>
#include <QList>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QTransform>

#include <array>
#include <cmath>
#include <cstddef>

#include "gui/shell/painted_icon_engine.h"

// All pictures are drawn on a 16 x 16 grid. Edges of straight 1-unit lines sit
// on half units so they cover whole pixels at 16 px and at every multiple.

namespace pelmora {

namespace {

const QColor kGreen(0x2e, 0xb8, 0x3c);
const QColor kRed(0xdc, 0x2a, 0x22);
const QColor kOrange(0xf5, 0x8c, 0x14);
const QColor kInk(0x4a, 0x52, 0x60);
const QColor kTextLine(0x8a, 0x9a, 0xb0);
const QColor kFold(0xd8, 0xde, 0xe6);
const QColor kBlue(0x1d, 0x5f, 0xbf);
const QColor kBookCover(0x2f, 0x62, 0xb0);
const QColor kYellow(0xff, 0xd8, 0x40);
const QColor kGear(0x70, 0x78, 0x86);

QPen RoundPen(const QColor& colour, qreal width)
{
    return {colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin};
}

void DrawBall(QPainter& p, const QColor& colour)
{
    QRadialGradient shade(QPointF(8.0, 8.0), 7.0, QPointF(6.0, 5.5));
    shade.setColorAt(0.0, colour.lighter(150));
    shade.setColorAt(0.5, colour);
    shade.setColorAt(1.0, colour.darker(150));
    p.setPen(QPen(colour.darker(200), 1.0));
    p.setBrush(shade);
    p.drawEllipse(QPointF(8.0, 8.0), 6.5, 6.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 170));
    p.drawEllipse(QPointF(6.0, 5.0), 1.8, 1.3);
}

void DrawTick(QPainter& p)
{
    QPainterPath tick;
    tick.moveTo(2.5, 8.5);
    tick.lineTo(6.5, 12.5);
    tick.lineTo(13.5, 3.5);
    p.setBrush(Qt::NoBrush);
    p.setPen(RoundPen(kRed.darker(160), 3.4));
    p.drawPath(tick);
    p.setPen(RoundPen(kRed, 2.0));
    p.drawPath(tick);
}

void DrawProhibition(QPainter& p)
{
    p.setPen(QPen(kRed, 2.0));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(8.0, 8.0), 6.0, 6.0);
    p.drawLine(QPointF(3.8, 3.8), QPointF(12.2, 12.2));
}

// A sheet with a folded top right corner, the base of the log and About pictures.
void DrawPage(QPainter& p)
{
    QPainterPath sheet;
    sheet.moveTo(3.5, 1.5);
    sheet.lineTo(10.5, 1.5);
    sheet.lineTo(13.5, 4.5);
    sheet.lineTo(13.5, 14.5);
    sheet.lineTo(3.5, 14.5);
    sheet.closeSubpath();
    p.setPen(QPen(kInk, 1.0));
    p.setBrush(Qt::white);
    p.drawPath(sheet);
    const std::array fold{QPointF(10.5, 1.5), QPointF(10.5, 4.5), QPointF(13.5, 4.5)};
    p.setBrush(kFold);
    p.drawPolygon(fold.data(), static_cast<int>(fold.size()));
}

void DrawQuestionMark(QPainter& p, QPointF centre, const QColor& colour, qreal weight)
{
    const qreal x = centre.x();
    const qreal y = centre.y();
    QPainterPath hook;
    hook.moveTo(x - 2.2, y - 2.2);
    hook.cubicTo(x - 2.2, y - 5.0, x + 2.5, y - 5.0, x + 2.5, y - 2.3);
    hook.cubicTo(x + 2.5, y - 0.5, x, y - 0.5, x, y + 1.5);
    p.setPen(RoundPen(colour, weight));
    p.setBrush(Qt::NoBrush);
    p.drawPath(hook);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(QPointF(x, y + 3.6), weight * 0.65, weight * 0.65);
}

void DrawPageOfText(QPainter& p)
{
    DrawPage(p);
    p.setPen(QPen(kTextLine, 1.0, Qt::SolidLine, Qt::FlatCap));
    const std::array<qreal, 5> lineEnds{9.0, 12.0, 12.0, 12.0, 10.0};
    qreal y = 4.5;
    for (const qreal end : lineEnds) {
        p.drawLine(QPointF(5.0, y), QPointF(end, y));
        y += 2.0;
    }
}

void DrawHelpBook(QPainter& p)
{
    p.setPen(QPen(kInk, 1.0));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(3.5, 2.5, 10.0, 12.0)); // the pages, showing below and right
    p.setPen(QPen(kBookCover.darker(160), 1.0));
    p.setBrush(kBookCover);
    p.drawRect(QRectF(2.5, 1.5, 10.0, 12.0));
    p.setPen(Qt::NoPen);
    p.setBrush(kBookCover.darker(140));
    p.drawRect(QRectF(3.0, 2.0, 1.5, 11.0)); // spine
    DrawQuestionMark(p, QPointF(8.5, 7.5), kYellow, 1.7);
}

void DrawAboutPage(QPainter& p)
{
    DrawPage(p);
    DrawQuestionMark(p, QPointF(8.5, 8.5), kBlue, 1.8);
}

QPainterPath GearPath(QPointF centre)
{
    constexpr int kTeeth = 6;
    QPainterPath gear;
    gear.addEllipse(centre, 3.3, 3.3);
    for (int i = 0; i < kTeeth; ++i) {
        QPainterPath tooth;
        tooth.addRect(QRectF(-1.0, -4.4, 2.0, 1.9));
        const QTransform turn =
            QTransform().translate(centre.x(), centre.y()).rotate(360.0 * i / kTeeth);
        gear = gear.united(turn.map(tooth));
    }
    QPainterPath hole;
    hole.addEllipse(centre, 1.3, 1.3);
    return gear.subtracted(hole);
}

void DrawSettingsWindow(QPainter& p)
{
    p.setPen(QPen(kInk, 1.0));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(1.5, 1.5, 12.0, 10.0));
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawRect(QRectF(2.0, 2.0, 11.0, 2.0)); // title bar
    p.setPen(QPen(kGear.darker(170), 0.8));
    p.setBrush(kGear);
    p.drawPath(GearPath(QPointF(11.0, 11.0)));
}

// A trace `width` wide with round ends through the points, filled rather than
// stroked: a dot at every point and a band along every leg. The tray picture
// is painted at start-up, and Qt's stroker would bring the maths library's
// trigonometry and its tables into memory for this one picture.
void FillTrace(QPainter& p, const QList<QPointF>& points, qreal width)
{
    const qreal half = width / 2.0;
    p.setPen(Qt::NoPen);
    for (qsizetype i = 0; i < points.size(); ++i) {
        p.drawEllipse(points[i], half, half);
        if (i == 0) {
            continue;
        }
        const QPointF along = points[i] - points[i - 1];
        const QPointF side =
            QPointF(-along.y(), along.x()) * (half / std::sqrt(QPointF::dotProduct(along, along)));
        p.drawPolygon(QPolygonF(
            {points[i - 1] + side, points[i] + side, points[i] - side, points[i - 1] - side}));
    }
}

// A pulse trace on a blue badge: the badge keeps it readable on light and dark
// panels alike, the white trace gives the shape at the smallest sizes.
// The tray picture: a rounded square with a pulse trace. Fills only, no
// strokes, so that drawing it at start-up needs no trigonometry.
void DrawTrayBody(QPainter& p, const QColor& top, const QColor& bottom, const QColor& rim,
                  const QColor& trace)
{
    QLinearGradient body(0.0, 1.0, 0.0, 15.0);
    body.setColorAt(0.0, top);
    body.setColorAt(1.0, bottom);
    // A one-unit rim: the rim's colour, then the body inside it.
    p.setPen(Qt::NoPen);
    p.setBrush(rim);
    p.drawRoundedRect(QRectF(0.0, 0.0, 16.0, 16.0), 4.0, 4.0);
    p.setBrush(body);
    p.drawRoundedRect(QRectF(1.0, 1.0, 14.0, 14.0), 3.0, 3.0);
    p.setBrush(trace);
    FillTrace(
        p, {{2.5, 8.5}, {5.0, 8.5}, {6.5, 4.5}, {8.5, 12.5}, {10.5, 6.0}, {11.5, 8.5}, {13.5, 8.5}},
        1.6);
}

void DrawTrayPicture(QPainter& p)
{
    DrawTrayBody(p, QColor(0x3d, 0x9b, 0xe9), QColor(0x1b, 0x5f, 0xa8), QColor(0x0e, 0x3a, 0x6b),
                 Qt::white);
}

// A circle as four cubic arcs with the usual kappa: the shape of
// drawEllipse, without the trigonometry its arc code brings in at start-up.
QPainterPath Disc(QPointF centre, qreal radius)
{
    constexpr qreal kKappa = 0.5522847498;
    const qreal k = radius * kKappa;
    const qreal x = centre.x();
    const qreal y = centre.y();
    QPainterPath disc(QPointF(x + radius, y));
    disc.cubicTo(x + radius, y + k, x + k, y + radius, x, y + radius);
    disc.cubicTo(x - k, y + radius, x - radius, y + k, x - radius, y);
    disc.cubicTo(x - radius, y - k, x - k, y - radius, x, y - radius);
    disc.cubicTo(x + k, y - radius, x + radius, y - k, x + radius, y);
    return disc;
}

// A red disc with a white bar in the lower right corner, ringed in white so
// it stands out on dark and light panels alike.
void DrawTrayPictureDown(QPainter& p)
{
    DrawTrayPicture(p);
    p.setPen(Qt::NoPen);
    p.fillPath(Disc(QPointF(11.0, 11.0), 5.0), Qt::white);
    p.fillPath(Disc(QPointF(11.0, 11.0), 4.0), kRed);
    p.fillRect(QRectF(8.5, 10.25, 5.0, 1.5), Qt::white);
}

void DrawTrayPictureStopped(QPainter& p)
{
    DrawTrayBody(p, QColor(0xb4, 0xb8, 0xbe), QColor(0x80, 0x86, 0x8e), QColor(0x50, 0x55, 0x5c),
                 QColor(0xee, 0xee, 0xee));
}

constexpr std::array<DrawPicture, 9> kMainPictures{
    [](QPainter& p) { DrawBall(p, kGreen); },
    [](QPainter& p) { DrawBall(p, kRed); },
    DrawTick,
    DrawProhibition,
    [](QPainter& p) { DrawBall(p, kOrange); },
    DrawPageOfText,
    DrawHelpBook,
    DrawAboutPage,
    DrawSettingsWindow,
};

QIcon PaintedIcon(DrawPicture draw, const QString& name)
{
    return QIcon(new PaintedIconEngine(draw, name));
}

} // namespace

QIcon MainImageIcon(MainImage image)
{
    const auto index = static_cast<int>(image);
    static const std::array<QIcon, kMainPictures.size()> icons = [] {
        std::array<QIcon, kMainPictures.size()> built;
        for (std::size_t i = 0; i < built.size(); ++i)
            built[i] = PaintedIcon(kMainPictures[i], QStringLiteral("main-%1").arg(i));
        return built;
    }();
    if (index < 0 || static_cast<std::size_t>(index) >= icons.size())
        return {};
    return icons[static_cast<std::size_t>(index)];
}

QIcon TrayIconPicture(TrayState state)
{
    static const QIcon allUp = PaintedIcon(DrawTrayPicture, QStringLiteral("tray"));
    switch (state) {
    case TrayState::SomeDown: {
        static const QIcon down = PaintedIcon(DrawTrayPictureDown, QStringLiteral("tray-down"));
        return down;
    }
    case TrayState::Stopped: {
        static const QIcon stopped =
            PaintedIcon(DrawTrayPictureStopped, QStringLiteral("tray-stopped"));
        return stopped;
    }
    case TrayState::AllUp: break;
    }
    return allUp;
}

} // namespace pelmora
