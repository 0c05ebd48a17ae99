#pragma once

#include <QRect>
#include <QRegion>

#include "core/shell/pixel_geometry.h"

class QPainter;

namespace pelmora {

QRect ToQRect(const PixelRect& rect);
PixelRect FromQRect(const QRect& rect);

// The balloon shape of a W x H window (PopUpRegionSpans) as a Qt region.
QRegion PopUpRegion(int width, int height);

// Draws the balloon's outline (PopUpOutline) with a 1-pixel black pen,
// without antialiasing. Leaves the painter's state as it was.
void PaintPopUpOutline(QPainter& painter, int width, int height);

} // namespace pelmora
