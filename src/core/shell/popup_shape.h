#pragma once

#include <vector>

#include "core/shell/pixel_geometry.h"

namespace pelmora {

// The pixels of the balloon shape of a W x H window, row by row from the top,
// each row's spans from left to right, apart and not touching: a rectangle
// (0,0)-(W,H-20) with corners rounded by a radius of 10 and a tail down to
// (W-71,H). Right and bottom edges lie outside, as for any rectangle, so the
// tip is the pixel (W-71,H-1). A front-end makes its window region of
// exactly these spans.
std::vector<PixelSpan> PopUpRegionSpans(int width, int height);

// The balloon's outline as the polylines a 1-pixel pen draws, in order, arcs
// already broken into short chords. Every piece leaves out its last point,
// which the next piece draws, so no pixel is set twice. It runs along the
// shape's outermost pixels (x = W-1 on the right, y = H-21 at the bottom);
// the tail's right flank stands at x = W-71.
std::vector<std::vector<PixelPoint>> PopUpOutline(int width, int height);

} // namespace pelmora
