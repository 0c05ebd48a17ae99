#pragma once

#include <string_view>

#include "core/shell/pixel_geometry.h"

namespace pelmora {

// Pixel height of a font of `points` on a screen of `pixelsPerInch`, rounded
// to the nearest pixel, halves upwards.
int PopUpCharHeight(double points, double pixelsPerInch);

// Lines the report memo shows for `text`: lines end at CR LF or a lone LF, and
// a break at the very end starts no further line. Empty text counts as one
// line, since the memo still shows one empty line.
int PopUpLineCount(std::string_view text);

// Where the report window goes on the screen, where its memo sits inside the
// window (window coordinates), and whether the memo has to scroll because
// the window was cut to the screen.
struct PopUpPlacement {
    PixelRect window;
    PixelRect memo;
    bool cut = false;
};

// Sizes the window for `lineCount` lines of `charHeight` pixels and puts it in
// the bottom-right corner of `screen` (the primary screen's full geometry, not
// its work area), its tail above the notification area. A report too long for
// the screen is cut to the screen's height; the memo scrolls the rest.
PopUpPlacement PlacePopUp(int lineCount, int charHeight, const PixelRect& screen);

} // namespace pelmora
