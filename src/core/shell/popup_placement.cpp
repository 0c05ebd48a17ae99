#include "core/shell/popup_placement.h"

#include <algorithm>
#include <cmath>

namespace pelmora {
namespace {

constexpr int kPopUpWidth = 245;
constexpr int kMemoMargin = 10;
// Between the tail's tip and the screen's bottom edge: clear of a taskbar.
constexpr int kBottomGap = 35;
constexpr int kRightGap = 5;

} // namespace

int PopUpCharHeight(double points, double pixelsPerInch)
{
    return static_cast<int>(std::floor(points * pixelsPerInch / 72.0 + 0.5));
}

int PopUpLineCount(std::string_view text)
{
    // Every LF ends a line (a CR before it belongs to the break); only text
    // after the last break makes one more.
    const auto breaks = static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    return text.ends_with('\n') ? breaks : breaks + 1;
}

PopUpPlacement PlacePopUp(int lineCount, int charHeight, const PixelRect& screen)
{
    const int width = kPopUpWidth;
    const int wanted = (lineCount + 1) * (charHeight + 2) + 50;
    const int height = std::min(wanted, screen.height - kBottomGap);
    const PixelRect window{screen.x + screen.width - width - kRightGap,
                           screen.y + screen.height - height - kBottomGap, width, height};
    const PixelRect memo{kMemoMargin, kMemoMargin, width - 2 * kMemoMargin, height - 40};
    return {window, memo, height < wanted};
}

} // namespace pelmora
