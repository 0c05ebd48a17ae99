#include "core/shell/popup_placement.h"

#include <gtest/gtest.h>

namespace pelmora {
namespace {

TEST(PopUpCharHeight, RoundsToNearestPixelHalvesUp)
{
    struct Case {
        double points;
        double ppi;
        int pixels;
    };
    const Case cases[] = {
        {10, 96, 13},  // 13.33
        {8, 96, 11},   // 10.67
        {9, 96, 12},   // exact
        {9, 100, 13},  // 12.5, half goes up
        {7.5, 60, 6},  // 6.25
        {12, 120, 20}, // exact
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PopUpCharHeight(c.points, c.ppi), c.pixels) << c.points << " pt at " << c.ppi;
    }
}

TEST(PopUpLineCount, CountsLinesAndIgnoresFinalBreak)
{
    struct Case {
        const char* text;
        int lines;
    };
    const Case cases[] = {
        // The memo still shows one empty line.
        {"", 1},
        {"abc", 1},
        {"abc\r\n", 1},
        {"abc\r\ndef", 2},
        {"\r\n", 1},
        // Heading, host, empty line.
        {"Lost:\r\nhost\r\n\r\n", 3},
        // A lone LF breaks too, a lone CR does not.
        {"abc\ndef\n", 2},
        {"abc\rdef", 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PopUpLineCount(c.text), c.lines) << '"' << c.text << '"';
    }
}

TEST(PlacePopUp, SizesForTheTextAndKeepsTheWholeWindowOnScreen)
{
    struct Case {
        int lines;
        int charHeight;
        PixelRect screen;
        int height;
        bool cut;
    };
    const PixelRect fullHd{0, 0, 1920, 1080};
    const Case cases[] = {
        {3, 13, fullHd, 110, false},
        {3, 13, {100, 50, 1280, 1024}, 110, false}, // primary screen not at the origin
        {65, 13, fullHd, 1040, false},              // the last report that fits
        {66, 13, fullHd, 1045, true},               // one line more is cut to the screen
        {200, 13, fullHd, 1045, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines);
        const PopUpPlacement placed = PlacePopUp(c.lines, c.charHeight, c.screen);
        const int rightEdge = c.screen.x + c.screen.width;
        const int bottomEdge = c.screen.y + c.screen.height;
        EXPECT_EQ(placed.window,
                  (PixelRect{rightEdge - 250, bottomEdge - c.height - 35, 245, c.height}));
        EXPECT_EQ(placed.memo, (PixelRect{10, 10, 225, c.height - 40}));
        EXPECT_EQ(placed.cut, c.cut);
        EXPECT_GE(placed.window.y, c.screen.y);
    }
}

} // namespace
} // namespace pelmora
