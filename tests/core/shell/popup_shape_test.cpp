#include "core/shell/popup_shape.h"

#include <gtest/gtest.h>

#include <cmath>

namespace pelmora {
namespace {

// The window of the one-lost-host report with the default font.
constexpr int kW = 245;
constexpr int kH = 110;

// What a front-end needs of the spans to build a region from them directly:
// rows from the top, spans from the left, none empty, none touching another.
TEST(PopUpRegionSpans, AreOrderedApartAndNeverEmpty)
{
    for (const int height : {42, 60, kH, 500}) {
        SCOPED_TRACE(height);
        const std::vector<PixelSpan> spans = PopUpRegionSpans(kW, height);
        ASSERT_FALSE(spans.empty());
        EXPECT_EQ(spans.front().y, 0);
        EXPECT_EQ(spans.back().y, height - 1);
        for (std::size_t i = 0; i < spans.size(); ++i) {
            EXPECT_LT(spans[i].left, spans[i].right);
            EXPECT_GE(spans[i].left, 0);
            EXPECT_LE(spans[i].right, kW);
            if (i > 0) {
                const PixelSpan& before = spans[i - 1];
                EXPECT_TRUE(before.y < spans[i].y ||
                            (before.y == spans[i].y && before.right < spans[i].left))
                    << i;
            }
        }
    }
}

TEST(PopUpRegionSpans, RowsOfCornersBodyAndTail)
{
    const std::vector<PixelSpan> spans = PopUpRegionSpans(kW, kH);
    const auto row = [&spans](int y) {
        std::vector<PixelSpan> found;
        for (const PixelSpan& span : spans) {
            if (span.y == y) {
                found.push_back(span);
            }
        }
        return found;
    };
    const struct {
        int y;
        std::vector<PixelSpan> spans;
    } cases[] = {
        {0, {{0, 7, kW - 7}}},
        {50, {{50, 0, kW}}},
        {kH - 21, {{kH - 21, 7, kW - 7}}},
        // The tail narrows to its tip, one pixel at x = W-71.
        {kH - 20, {{kH - 20, kW - 80, kW - 70}}},
        {kH - 1, {{kH - 1, kW - 71, kW - 70}}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(row(c.y), c.spans) << c.y;
    }
}

TEST(PopUpOutline, PiecesJoinEndToStartAndCloseTheShape)
{
    const auto outline = PopUpOutline(kW, kH);
    ASSERT_EQ(outline.size(), 8U);
    const auto near = [](const PixelPoint& a, const PixelPoint& b) {
        return std::abs(a.x - b.x) <= 1.0 && std::abs(a.y - b.y) <= 1.0;
    };
    for (std::size_t i = 0; i < outline.size(); ++i) {
        const auto& piece = outline[i];
        const auto& next = outline[(i + 1) % outline.size()];
        ASSERT_GE(piece.size(), 2U);
        EXPECT_TRUE(near(piece.back(), next.front())) << i;
        for (const PixelPoint& point : piece) {
            EXPECT_GE(point.x, 0.0);
            EXPECT_LE(point.x, kW - 1.0);
            EXPECT_GE(point.y, 0.0);
            EXPECT_LE(point.y, kH - 1.0);
        }
    }
    // The bottom side with the tail, corner by corner.
    EXPECT_EQ(outline[3], (std::vector<PixelPoint>{{9, kH - 21},
                                                   {kW - 80, kH - 21},
                                                   {kW - 71, kH - 1},
                                                   {kW - 71, kH - 21},
                                                   {kW - 11, kH - 21}}));
}

} // namespace
} // namespace pelmora
