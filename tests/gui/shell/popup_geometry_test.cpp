#include "gui/shell/popup_geometry.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QTransform>

namespace pelmora {
namespace {

// The window of the one-lost-host report with the default font.
constexpr int kW = 245;
constexpr int kH = 110;

TEST(PopUpRegion, IsARoundedBalloonWithATail)
{
    EXPECT_EQ(PopUpRegion(kW, kH).boundingRect(), QRect(0, 0, kW, kH));

    struct Case {
        int x;
        int y;
        bool inside;
    };
    const Case cases[] = {
        // Rounded corners cut off.
        {0, 0, false},
        {1, 1, false},
        {kW - 1, 0, false},
        {0, kH - 21, false},
        {kW - 1, kH - 21, false},
        // Corners, the margin around the memo and the body's edges.
        {2, 3, true},
        {10, 0, true},
        {0, 10, true},
        {10, 10, true},
        {kW - 11, kH - 31, true},
        {kW - 1, 50, true},
        {kW, 50, false},
        {122, 0, true},
        {122, kH - 21, true},
        {122, kH - 20, false},
        // The tail: its tip, beside it, and its root, whose right end is the
        // right edge and so outside.
        {kW - 71, kH - 1, true},
        {kW - 71, kH, false},
        {kW - 72, kH - 1, false},
        {kW - 70, kH - 1, false},
        {kW - 81, kH - 10, false},
        {kW - 69, kH - 10, false},
        {kW - 75, kH - 10, true},
        {kW - 80, kH - 20, true},
        {kW - 71, kH - 20, true},
        {kW - 70, kH - 20, false},
    };
    const QRegion region = PopUpRegion(kW, kH);
    for (const Case& c : cases) {
        EXPECT_EQ(region.contains(QPoint(c.x, c.y)), c.inside) << c.x << ',' << c.y;
    }
}

TEST(PopUpRegion, FourCornersAreMirrorImages)
{
    const QRegion region = PopUpRegion(kW, kH);
    const int bodyBottom = kH - 21;
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) {
            const bool topLeft = region.contains(QPoint(x, y));
            EXPECT_EQ(region.contains(QPoint(kW - 1 - x, y)), topLeft) << x << ',' << y;
            EXPECT_EQ(region.contains(QPoint(x, bodyBottom - y)), topLeft) << x << ',' << y;
            EXPECT_EQ(region.contains(QPoint(kW - 1 - x, bodyBottom - y)), topLeft)
                << x << ',' << y;
        }
    }
}

// The outline of the kW x kH window drawn on white with a margin around it,
// so that anything drawn beside the window shows too.
class PopUpOutline : public ::testing::Test {
protected:
    static constexpr int kMargin = 5;

    void SetUp() override
    {
        image_ = QImage(kW + 2 * kMargin, kH + 2 * kMargin, QImage::Format_RGB32);
        image_.fill(Qt::white);
        QPainter painter(&image_);
        painter.translate(kMargin, kMargin);
        const QTransform before = painter.transform();
        PaintPopUpOutline(painter, kW, kH);
        transformKept_ = painter.transform() == before;
    }

    // In window coordinates.
    [[nodiscard]] bool Black(int x, int y) const
    {
        return image_.pixel(x + kMargin, y + kMargin) == qRgb(0, 0, 0);
    }

    QImage image_;
    bool transformKept_ = false;
};

TEST_F(PopUpOutline, LeavesThePainterAsItWas)
{
    EXPECT_TRUE(transformKept_);
}

TEST_F(PopUpOutline, DrawsSidesCornersAndTail)
{
    struct Case {
        int x;
        int y;
        bool black;
    };
    const Case cases[] = {
        // The four sides.
        {0, 50, true},
        {kW - 1, 50, true},
        {122, 0, true},
        {122, kH - 21, true},
        // The corners' ends, and the top-left one's middle.
        {10, 0, true},
        {3, 3, true},
        {0, 10, true},
        {0, kH - 31, true},
        {10, kH - 21, true},
        {kW - 11, kH - 21, true},
        {kW - 1, kH - 31, true},
        {kW - 1, 10, true},
        {kW - 11, 0, true},
        // The tail's root and tip.
        {kW - 80, kH - 21, true},
        {kW - 71, kH - 1, true},
        // Cut-off corners, beyond the sides, inside, beside the tail.
        {0, 0, false},
        {1, 1, false},
        {kW - 1, 0, false},
        {0, kH - 21, false},
        {kW - 1, kH - 21, false},
        {-1, 50, false},
        {kW, 50, false},
        {122, -1, false},
        {122, kH - 20, false},
        {5, 5, false},
        {122, 55, false},
        {kW - 73, kH - 10, false},
        {kW - 70, kH - 1, false},
        {kW - 72, kH - 1, false},
        {kW - 71, kH, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Black(c.x, c.y), c.black) << c.x << ',' << c.y;
    }
}

TEST_F(PopUpOutline, TailsRightFlankStandsAtSeventyOneFromTheRight)
{
    for (int y = kH - 21; y < kH; ++y) {
        EXPECT_TRUE(Black(kW - 71, y)) << y;
    }
    for (int y = kH - 20; y < kH; ++y) {
        EXPECT_FALSE(Black(kW - 70, y)) << y;
    }
}

// Every drawn pixel lies on the shape's edge: a pixel of the shape is at most
// one pixel away, and one outside it at most two (the corners' curves come
// out up to a pixel further in on the diagonal). Above the tail the outline
// stays inside the shape, so the window's edge does not cut it; the tail's
// slanted flank is drawn one row above the shape's and may round half a pixel
// out.
TEST_F(PopUpOutline, FollowsTheShapesEdge)
{
    const QRegion region = PopUpRegion(kW, kH);
    const auto within = [&region](int x, int y, int reach, bool inside) {
        for (int dy = -reach; dy <= reach; ++dy) {
            for (int dx = -reach; dx <= reach; ++dx) {
                if (region.contains(QPoint(x + dx, y + dy)) == inside) {
                    return true;
                }
            }
        }
        return false;
    };
    for (int y = -kMargin; y < kH + kMargin; ++y) {
        for (int x = -kMargin; x < kW + kMargin; ++x) {
            if (!Black(x, y)) {
                continue;
            }
            EXPECT_TRUE(within(x, y, 1, true)) << x << ',' << y;
            EXPECT_TRUE(within(x, y, 2, false)) << x << ',' << y;
            if (y < kH - 20) {
                EXPECT_TRUE(region.contains(QPoint(x, y))) << x << ',' << y;
            }
        }
    }
}

} // namespace
} // namespace pelmora
