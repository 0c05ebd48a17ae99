#include "gui/shell/painted_icon_engine.h"

#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>

#include <utility>

namespace pelmora {

namespace {

constexpr qreal kDesignSide = 16.0;
constexpr qreal kDisabledOpacity = 0.4;

} // namespace

PaintedIconEngine::PaintedIconEngine(DrawPicture draw, QString name)
    : draw_(draw), name_(std::move(name))
{
}

void PaintedIconEngine::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
                              QIcon::State /*state*/)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->translate(rect.topLeft());
    painter->scale(rect.width() / kDesignSide, rect.height() / kDesignSide);
    if (mode == QIcon::Disabled)
        painter->setOpacity(painter->opacity() * kDisabledOpacity);
    draw_(*painter);
    painter->restore();
}

QPixmap PaintedIconEngine::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state)
{
    if (size.isEmpty())
        return {};
    // Selected and Active look like Normal; only Disabled differs.
    const int look = mode == QIcon::Disabled ? 1 : 0;
    const QString cacheKey = QStringLiteral("pelmora-icon/%1/%2x%3/%4")
                                 .arg(name_)
                                 .arg(size.width())
                                 .arg(size.height())
                                 .arg(look);
    QPixmap result;
    if (QPixmapCache::find(cacheKey, &result))
        return result;
    result = QPixmap(size);
    result.fill(Qt::transparent);
    {
        QPainter painter(&result);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
    }
    QPixmapCache::insert(cacheKey, result);
    return result;
}

QList<QSize> PaintedIconEngine::availableSizes(QIcon::Mode /*mode*/, QIcon::State /*state*/)
{
    // Any size paints well; the list is what the D-Bus tray exports as bitmaps.
    return {QSize(16, 16), QSize(22, 22), QSize(24, 24), QSize(32, 32), QSize(48, 48)};
}

QIconEngine* PaintedIconEngine::clone() const
{
    return new PaintedIconEngine(draw_, name_);
}

} // namespace pelmora
