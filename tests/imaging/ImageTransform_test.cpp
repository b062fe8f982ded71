#include "imaging/effects/ImageTransform.h"

#include "support/PixelProbe.h"

#include <gtest/gtest.h>

namespace {

// Every pixel unique, so any misplaced pixel shows.
QImage numbered(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(x, y, (x * 7 + y * 13) & 0xff));
    return image;
}

} // namespace

TEST(ImageTransformTest, QuarterTurnsMoveEveryPixelExactly)
{
    const QImage image = numbered(5, 3);
    const QImage left = ImageTransform::rotation(image, 9000, false, false);
    const QImage right = ImageTransform::rotation(image, -9000, false, false);
    const QImage half = ImageTransform::rotation(image, 18000, false, false);
    const QImage right27 = ImageTransform::rotation(image, 27000, false, false);
    ASSERT_EQ(left.size(), QSize(3, 5));
    ASSERT_EQ(right.size(), QSize(3, 5));
    ASSERT_EQ(half.size(), QSize(5, 3));
    EXPECT_EQ(right, right27);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            // Anticlockwise: the top-right corner goes to the top-left.
            EXPECT_EQ(left.pixel(y, 4 - x), image.pixel(x, y));
            EXPECT_EQ(right.pixel(2 - y, x), image.pixel(x, y));
            EXPECT_EQ(half.pixel(4 - x, 2 - y), image.pixel(x, y));
        }
    EXPECT_EQ(ImageTransform::rotation(image, 36000, false, false), image);
}

TEST(ImageTransformTest, FlipsMirrorExactly)
{
    const QImage image = numbered(4, 3);
    const QImage lr = ImageTransform::rotation(image, 0, true, false);
    const QImage ud = ImageTransform::rotation(image, 0, false, true);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(lr.pixel(3 - x, y), image.pixel(x, y));
            EXPECT_EQ(ud.pixel(x, 2 - y), image.pixel(x, y));
        }
}

TEST(ImageTransformTest, FreeAngleGrowsAndFillsCorners)
{
    const QImage image = PixelProbe::filled(100, 50, qRgb(0, 0, 255));
    const QImage turned = ImageTransform::rotation(image, 4500, false, false, true, Qt::red);
    EXPECT_GT(turned.width(), 100);
    EXPECT_EQ(turned.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(turned.pixel(turned.width() / 2, turned.height() / 2), qRgb(0, 0, 255));
    const QImage clipped = ImageTransform::rotation(image, 4500, false, false, false, Qt::red, true);
    EXPECT_EQ(clipped.size(), image.size());
}

TEST(ImageTransformTest, SelectImageCutsTheInclusiveRectangle)
{
    const QImage image = numbered(20, 10);
    // Corners in the order top-left, top-right, bottom-right, bottom-left.
    const QImage cut = ImageTransform::selectImage(image, {2, 7, 7, 2}, {3, 3, 8, 8});
    ASSERT_EQ(cut.size(), QSize(6, 6));
    EXPECT_EQ(cut.pixel(0, 0), image.pixel(2, 3));
    EXPECT_EQ(cut.pixel(5, 5), image.pixel(7, 8));
}

TEST(ImageTransformTest, SelectImageKeepsOnlyThePartInsideTheImage)
{
    const QImage image = numbered(20, 10);
    // A canvas-sized crop hanging off the left and bottom edges.
    const QImage cut = ImageTransform::selectImage(image, {-5, 9, 9, -5}, {4, 4, 30, 30});
    ASSERT_EQ(cut.size(), QSize(10, 6));
    EXPECT_EQ(cut.pixel(0, 0), image.pixel(0, 4));
    // Corners given in any order.
    EXPECT_EQ(ImageTransform::selectImage(image, {9, -5, -5, 9}, {30, 30, 4, 4}), cut);
}

TEST(ImageTransformTest, SelectImageOutsideFails)
{
    const QImage image = numbered(20, 10);
    QString error;
    EXPECT_TRUE(ImageTransform::selectImage(image, {20, 30, 30, 20}, {0, 0, 5, 5}, &error).isNull());
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(ImageTransform::selectImage(image, {-9, -1, -1, -9}, {0, 0, 5, 5}).isNull());
    EXPECT_TRUE(
        ImageTransform::selectImage(image, {INT_MIN, INT_MAX, INT_MAX, INT_MIN}, {INT_MIN, INT_MIN, INT_MAX, INT_MAX})
            .size() == image.size());
}
