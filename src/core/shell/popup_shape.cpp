#include "core/shell/popup_shape.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <initializer_list>
#include <map>
#include <utility>

namespace pelmora {
namespace {

struct IntPoint {
    int x;
    int y;
};

// A box given as left, top, right, bottom, the way the shape is laid out;
// right and bottom lie outside.
struct Box {
    int left;
    int top;
    int right;
    int bottom;
};

// The shape's pixels while it is built: for each row, the spans as
// left -> right, kept apart and merged where they touch.
class RowSet {
public:
    void Add(int y, int left, int right)
    {
        if (left >= right) {
            return;
        }
        std::map<int, int>& row = rows_[y];
        auto next = row.upper_bound(left);
        if (next != row.begin() && std::prev(next)->second >= left) {
            --next;
            left = next->first;
            right = std::max(right, next->second);
            next = row.erase(next);
        }
        while (next != row.end() && next->first <= right) {
            right = std::max(right, next->second);
            next = row.erase(next);
        }
        row.emplace(left, right);
    }

    std::vector<PixelSpan> Spans() const
    {
        std::vector<PixelSpan> spans;
        for (const auto& [y, row] : rows_) {
            for (const auto& [left, right] : row) {
                spans.push_back({y, left, right});
            }
        }
        return spans;
    }

private:
    std::map<int, std::map<int, int>> rows_;
};

// Pixels of the ellipse filling the box: a pixel belongs when its centre
// lies in the ellipse, so the shape comes out symmetric in the box.
void AddEllipse(RowSet& rows, const Box& box)
{
    const double rx = (box.right - box.left) / 2.0;
    const double ry = (box.bottom - box.top) / 2.0;
    const double cx = box.left + rx;
    const double cy = box.top + ry;
    for (int y = box.top; y < box.bottom; ++y) {
        const double dy = (y + 0.5 - cy) / ry;
        const double reach = rx * std::sqrt(std::max(0.0, 1.0 - dy * dy));
        const auto left = static_cast<int>(std::ceil(cx - reach - 0.5));
        const auto right = static_cast<int>(std::floor(cx + reach - 0.5));
        rows.Add(y, left, right + 1);
    }
}

// The smallest whole number not below numerator / denominator (denominator
// above 0).
int CeilDiv(long long numerator, long long denominator)
{
    const long long quotient = numerator / denominator;
    return static_cast<int>(quotient + (numerator % denominator > 0 ? 1 : 0));
}

// Fills the polygon by the winding rule, sampling each pixel at its top-left
// corner: a row takes the pixels from where the shape's edge crosses the
// row's top line, rounded up, to where it leaves, rounded up and outside.
// An edge counts from its upper end to just above its lower one, so a
// horizontal bottom edge adds no row.
void AddWindingPolygon(RowSet& rows, const std::vector<IntPoint>& corners)
{
    int top = corners.front().y;
    int bottom = top;
    for (const IntPoint& corner : corners) {
        top = std::min(top, corner.y);
        bottom = std::max(bottom, corner.y);
    }
    std::vector<std::pair<int, int>> crossings; // x rounded up, direction
    for (int y = top; y < bottom; ++y) {
        crossings.clear();
        for (std::size_t i = 0; i < corners.size(); ++i) {
            const IntPoint& from = corners[i];
            const IntPoint& to = corners[(i + 1) % corners.size()];
            if (from.y == to.y) {
                continue;
            }
            const bool down = from.y < to.y;
            const IntPoint& upper = down ? from : to;
            const IntPoint& lower = down ? to : from;
            if (y < upper.y || y >= lower.y) {
                continue;
            }
            const long long dy = lower.y - upper.y;
            const long long run = static_cast<long long>(lower.x - upper.x) * (y - upper.y);
            crossings.emplace_back(CeilDiv(static_cast<long long>(upper.x) * dy + run, dy),
                                   down ? 1 : -1);
        }
        std::sort(crossings.begin(), crossings.end());
        int winding = 0;
        for (std::size_t i = 0; i + 1 < crossings.size(); ++i) {
            winding += crossings[i].second;
            if (winding != 0) {
                rows.Add(y, crossings[i].first, crossings[i + 1].first);
            }
        }
    }
}

// Arc of the ellipse touching all four sides of the box (the ellipse runs
// through the pixel columns left and right themselves), counter-clockwise
// from the ray through `start` to the ray through `end`, less than a half
// turn, as short chords. Square roots alone find them: with no trigonometry
// the pop-up does not pull the maths library's large tables into memory for
// four small corners.
std::vector<PixelPoint> Arc(const Box& box, IntPoint start, IntPoint end)
{
    const double width = box.right - box.left;
    const double height = box.bottom - box.top;
    const double cx = box.left + width / 2.0;
    const double cy = box.top + height / 2.0;
    // Direction from the centre, in the ellipse's own parameter (the ellipse
    // squeezed to a circle) as a unit vector, y upwards.
    const auto direction = [&](IntPoint through) {
        const double right = (through.x - cx) / width;
        const double up = (cy - through.y) / height;
        const double length = std::sqrt(right * right + up * up);
        return PixelPoint{right / length, up / length};
    };
    const PixelPoint from = direction(start);
    const PixelPoint to = direction(end);
    constexpr int kChords = 16;
    std::vector<PixelPoint> arc;
    arc.reserve(kChords + 1);
    for (int i = 0; i <= kChords; ++i) {
        // Under a half turn the straight blend of the two directions sweeps
        // the angle between them once, in order.
        const double t = static_cast<double>(i) / kChords;
        const double bx = from.x + (to.x - from.x) * t;
        const double by = from.y + (to.y - from.y) * t;
        const double length = std::sqrt(bx * bx + by * by);
        arc.push_back({cx + width / 2.0 * bx / length, cy - height / 2.0 * by / length});
    }
    return arc;
}

std::vector<PixelPoint> Polyline(std::initializer_list<IntPoint> points)
{
    std::vector<PixelPoint> line;
    for (const IntPoint& point : points) {
        line.push_back({static_cast<double>(point.x), static_cast<double>(point.y)});
    }
    return line;
}

} // namespace

std::vector<PixelSpan> PopUpRegionSpans(int width, int height)
{
    const int w = width;
    const int h = height;
    RowSet rows;
    AddEllipse(rows, {0, 0, 20, 20});
    AddEllipse(rows, {w - 20, 0, w, 20});
    AddEllipse(rows, {0, h - 40, 20, h - 20});
    AddEllipse(rows, {w - 20, h - 40, w, h - 20});
    AddWindingPolygon(rows, {{10, 0},
                             {0, 10},
                             {0, h - 30},
                             {10, h - 20},
                             {w - 80, h - 20},
                             {w - 71, h},
                             {w - 70, h - 20},
                             {w - 12, h - 20},
                             {w, h - 32},
                             {w, 10},
                             {w - 10, 0}});
    return rows.Spans();
}

std::vector<std::vector<PixelPoint>> PopUpOutline(int width, int height)
{
    const int w = width;
    const int h = height;
    return {
        Arc({0, 0, 20, 20}, {10, 0}, {0, 10}),
        Polyline({{0, 9}, {0, h - 30}}),
        Arc({0, h - 41, 20, h - 21}, {0, h - 31}, {10, h - 21}),
        Polyline(
            {{9, h - 21}, {w - 80, h - 21}, {w - 71, h - 1}, {w - 71, h - 21}, {w - 11, h - 21}}),
        Arc({w - 21, h - 41, w - 1, h - 21}, {w - 11, h - 21}, {w - 1, h - 31}),
        Polyline({{w - 1, h - 31}, {w - 1, 9}}),
        Arc({w - 21, 0, w - 1, 20}, {w, 9}, {w - 11, 0}),
        Polyline({{w - 10, 0}, {10, 0}}),
    };
}

} // namespace pelmora
