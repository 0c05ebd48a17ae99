#include "gui/app/maker_info.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace pelmora {
namespace {

constexpr double kWidth = 34.0;
constexpr double kHeight = 193.0;

const QColor kCream(243, 233, 216);

// A host sending out its signal: a dot with two arcs on either side.
void PaintSignal(QPainter& painter, const QPointF& centre)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(kCream);
    painter.drawEllipse(centre, 3.2, 3.2);
    painter.setBrush(Qt::NoBrush);
    for (const double radius : {7.5, 12.0}) {
        QColor colour = kCream;
        colour.setAlphaF(radius < 10.0 ? 0.95F : 0.6F);
        painter.setPen(QPen(colour, 1.6, Qt::SolidLine, Qt::RoundCap));
        const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
        constexpr int kSpan = 70 * 16;
        painter.drawArc(box, -35 * 16, kSpan);
        painter.drawArc(box, 145 * 16, kSpan);
    }
}

// The product's name along the picture, read from the bottom up, made as
// large as the band allows.
void PaintName(QPainter& painter, const QRectF& band)
{
    const QString name = QStringLiteral("TAMSEL VEXMON");
    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("Arial"), QStringLiteral("Nimbus Sans")});
    font.setBold(true);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 1.6);
    font.setPixelSize(11);
    const double natural = QFontMetricsF(font).horizontalAdvance(name);
    if (natural > band.height()) {
        font.setPixelSize(
            std::max(6, static_cast<int>(std::floor(11.0 * band.height() / natural))));
    }
    painter.save();
    painter.translate(band.center());
    painter.rotate(-90.0);
    painter.setFont(font);
    painter.setPen(kCream);
    painter.drawText(QRectF(-band.height() / 2, -band.width() / 2, band.height(), band.width()),
                     Qt::AlignCenter, name);
    painter.restore();
}

// A quiet heartbeat: the program keeps watching.
void PaintPulse(QPainter& painter, double baseline)
{
    QPainterPath trace;
    trace.moveTo(5, baseline);
    trace.lineTo(11, baseline);
    trace.lineTo(14, baseline - 6);
    trace.lineTo(17.5, baseline + 6);
    trace.lineTo(20.5, baseline - 3);
    trace.lineTo(23, baseline);
    trace.lineTo(29, baseline);
    QColor colour = kCream;
    colour.setAlphaF(0.85F);
    painter.setPen(QPen(colour, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(trace);
}

} // namespace

QPixmap MakerLogo(double scale, double devicePixelRatio)
{
    const double factor = scale * devicePixelRatio;
    QPixmap picture(static_cast<int>(std::lround(kWidth * factor)),
                    static_cast<int>(std::lround(kHeight * factor)));
    picture.setDevicePixelRatio(devicePixelRatio);

    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(scale, scale);

    QLinearGradient ground(0, 0, 0, kHeight);
    ground.setColorAt(0.0, QColor(47, 62, 70));
    ground.setColorAt(1.0, QColor(95, 65, 50));
    painter.fillRect(QRectF(0, 0, kWidth, kHeight), ground);

    PaintSignal(painter, QPointF(kWidth / 2, 24));
    PaintName(painter, QRectF(0, 46, kWidth, 116));
    PaintPulse(painter, 176);
    return picture;
}

} // namespace pelmora
