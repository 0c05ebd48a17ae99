#pragma once

#include <QIconEngine>
#include <QString>

namespace pelmora {

// Draws one picture on a 16 x 16 logical square; the painter is already scaled
// to the target size and antialiased.
using DrawPicture = void (*)(QPainter& painter);

// An icon painted from code at whatever size and pixel ratio is asked for, so
// it stays sharp on high-DPI screens. Rendered pixmaps go into QPixmapCache:
// the same picture is asked for by every host entry of the menu.
class PaintedIconEngine final : public QIconEngine {
public:
    PaintedIconEngine(DrawPicture draw, QString name);

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override;
    QIconEngine* clone() const override;

private:
    DrawPicture draw_;
    QString name_;
};

} // namespace pelmora
