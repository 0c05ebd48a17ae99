#include "gui/shell/image_list.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPixmap>

#include <climits>
#include <vector>

namespace pelmora {
namespace {

QImage Render(const QIcon& icon, int side, QIcon::Mode mode = QIcon::Normal)
{
    return icon.pixmap(QSize(side, side), mode).toImage().convertToFormat(QImage::Format_ARGB32);
}

// The nine list pictures followed by the tray picture.
std::vector<QIcon> AllPictures()
{
    std::vector<QIcon> icons;
    for (int i = 0; i <= static_cast<int>(MainImage::Settings); ++i)
        icons.push_back(MainImageIcon(static_cast<MainImage>(i)));
    icons.push_back(TrayIconPicture());
    return icons;
}

int OpaquePixels(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixelColor(x, y).alpha() == 255 ? 1 : 0;
    return count;
}

TEST(ImageList, EveryPictureIsDrawnOnATransparentSquareAtEachTraySize)
{
    const auto icons = AllPictures();
    for (std::size_t i = 0; i < icons.size(); ++i) {
        SCOPED_TRACE(i);
        ASSERT_FALSE(icons[i].isNull());
        for (const int side : {16, 22, 24, 32}) {
            SCOPED_TRACE(side);
            const QImage image = Render(icons[i], side);
            ASSERT_EQ(image.size(), QSize(side, side));
            EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0);
            EXPECT_GT(OpaquePixels(image), side * side / 8);
        }
    }
}

TEST(ImageList, ValuesOutsideTheListGiveANullIcon)
{
    for (const int index : {-1, 9, 10, INT_MIN, INT_MAX})
        EXPECT_TRUE(MainImageIcon(static_cast<MainImage>(index)).isNull()) << index;
}

TEST(ImageList, NoTwoPicturesAreAlike)
{
    const auto icons = AllPictures();
    for (std::size_t i = 0; i < icons.size(); ++i)
        for (std::size_t j = i + 1; j < icons.size(); ++j)
            EXPECT_NE(Render(icons[i], 16), Render(icons[j], 16)) << i << " and " << j;
}

TEST(ImageList, BallsAndTheProhibitionSignShowTheirColourAtTheCentre)
{
    struct Case {
        MainImage image;
        int hueFrom;
        int hueTo; // inclusive; may wrap past 359
    };
    const Case cases[] = {
        {MainImage::HostUp, 100, 150},
        {MainImage::HostDown, 350, 370},
        {MainImage::Stop, 350, 370},
        {MainImage::HostsState, 20, 45},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.image));
        for (const int side : {16, 32}) {
            const QColor centre =
                Render(MainImageIcon(c.image), side).pixelColor(side / 2, side / 2);
            EXPECT_EQ(centre.alpha(), 255);
            EXPECT_GT(centre.hsvSaturation(), 128);
            const int hue = centre.hsvHue() < c.hueFrom ? centre.hsvHue() + 360 : centre.hsvHue();
            EXPECT_LE(hue, c.hueTo) << "hue " << centre.hsvHue() << " at " << side << " px";
        }
    }
}

TEST(ImageList, LargerSizesArePaintedAfreshNotScaledUp)
{
    const auto icons = AllPictures();
    for (std::size_t i = 0; i < icons.size(); ++i) {
        const QImage blocky =
            Render(icons[i], 16).scaled(32, 32, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        EXPECT_NE(Render(icons[i], 32), blocky) << i;
    }

    // The page's left edge is a 1-unit line: one whole pixel at 16 px and two
    // whole pixels, with clean transparent and white neighbours, at ratio 2.
    const QIcon page = MainImageIcon(MainImage::Log);
    const QPixmap sharp = page.pixmap(QSize(16, 16), 2.0);
    EXPECT_EQ(sharp.deviceIndependentSize(), QSizeF(16, 16));
    struct Edge {
        QImage image;
        int outside;
        int width;
    };
    const Edge edges[] = {
        {Render(page, 16), 2, 1},
        {sharp.toImage().convertToFormat(QImage::Format_ARGB32), 5, 2},
    };
    for (const Edge& e : edges) {
        SCOPED_TRACE(e.image.width());
        const int row = e.image.height() / 2;
        EXPECT_EQ(e.image.pixelColor(e.outside, row).alpha(), 0);
        for (int x = e.outside + 1; x <= e.outside + e.width; ++x) {
            EXPECT_EQ(e.image.pixelColor(x, row).alpha(), 255);
            EXPECT_LT(e.image.pixelColor(x, row).value(), 128);
        }
        EXPECT_EQ(e.image.pixelColor(e.outside + e.width + 1, row), QColor(Qt::white));
    }
}

TEST(ImageList, RepeatedCallsShareOneIconEach)
{
    for (int i = 0; i <= static_cast<int>(MainImage::Settings); ++i) {
        const auto image = static_cast<MainImage>(i);
        EXPECT_EQ(MainImageIcon(image).cacheKey(), MainImageIcon(image).cacheKey()) << i;
        EXPECT_NE(MainImageIcon(image).cacheKey(), TrayIconPicture().cacheKey()) << i;
    }
    EXPECT_EQ(TrayIconPicture().cacheKey(), TrayIconPicture().cacheKey());
}

TEST(ImageList, DisabledPicturesAreFaded)
{
    const QIcon ball = MainImageIcon(MainImage::HostUp);
    EXPECT_GT(OpaquePixels(Render(ball, 16)), 0);
    EXPECT_EQ(OpaquePixels(Render(ball, 16, QIcon::Disabled)), 0);
    EXPECT_EQ(Render(ball, 16, QIcon::Selected), Render(ball, 16));
}

TEST(ImageList, TrayPanelsAreOfferedBitmapsAtTheirUsualSizes)
{
    // The D-Bus tray sends the panel one bitmap per listed size and the panel
    // scales the nearest; listing the common sizes keeps the icon sharp.
    const QList<QSize> sizes = TrayIconPicture().availableSizes();
    for (const int side : {16, 22, 24, 32})
        EXPECT_TRUE(sizes.contains(QSize(side, side))) << side;
}

} // namespace
} // namespace pelmora
