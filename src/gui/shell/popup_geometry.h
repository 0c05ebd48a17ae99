#pragma once

#include <QRect>
#include <QRegion>
#include <QString>

class QPainter;

namespace pelmora {

// Pixel height of a font of `points` on a screen of `pixelsPerInch`, rounded
// to the nearest pixel, halves upwards.
int PopUpCharHeight(double points, double pixelsPerInch);

// Lines the report memo shows for `text`: lines end at CR LF or a lone LF, and
// a break at the very end starts no further line. Empty text counts as one
// line, since the memo still shows one empty line.
int PopUpLineCount(const QString& text);

// Where the report window goes on the screen, and where its memo sits inside
// the window (window coordinates).
struct PopUpPlacement {
    QRect window;
    QRect memo;
};

// Sizes the window for `lineCount` lines of `charHeight` pixels and puts it in
// the bottom-right corner of `screen` (the primary screen's full geometry, not
// its work area), its tail above the notification area. A report too long for
// the screen is cut to the screen's height; the memo scrolls the rest.
PopUpPlacement PlacePopUp(int lineCount, int charHeight, const QRect& screen);

// The balloon shape of a W x H window: a rectangle (0,0)-(W,H-20) with corners
// rounded by a radius of 10 and a tail down to (W-71,H). Right and bottom
// edges lie outside, as for any rectangle, so the tip is the pixel (W-71,H-1).
QRegion PopUpRegion(int width, int height);

// Draws the balloon's outline with a 1-pixel black pen, without antialiasing,
// along the shape's outermost pixels (x = W-1 on the right, y = H-21 at the
// bottom); the tail's right flank stands at x = W-71. Leaves the painter's
// state as it was.
void PaintPopUpOutline(QPainter& painter, int width, int height);

} // namespace pelmora
