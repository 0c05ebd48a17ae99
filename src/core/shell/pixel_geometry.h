#pragma once

namespace pelmora {

// A rectangle in whole pixels: left and top edge, and its size.
struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// The pixels x = left .. right - 1 of the row y.
struct PixelSpan {
    int y = 0;
    int left = 0;
    int right = 0;

    friend bool operator==(const PixelSpan&, const PixelSpan&) = default;
};

// A point of a drawn line; whole numbers name pixel centres.
struct PixelPoint {
    double x = 0;
    double y = 0;

    friend bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

} // namespace pelmora
