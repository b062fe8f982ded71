// Mosaic blocks: aligned to the region, uniform, the mean of what they cover.
#include "imaging/effects/EffectMosaic.h"

#include "support/PixelProbe.h"

#include <gtest/gtest.h>

namespace {

// The rounded mean colour of a rectangle.
QRgb meanColour(const QImage& image, const QRect& block)
{
    long sum[3] = {0, 0, 0};
    for (int y = block.top(); y <= block.bottom(); ++y)
        for (int x = block.left(); x <= block.right(); ++x) {
            const QRgb p = image.pixel(x, y);
            sum[0] += qRed(p);
            sum[1] += qGreen(p);
            sum[2] += qBlue(p);
        }
    const long n = static_cast<long>(block.width()) * block.height();
    return qRgb(int((sum[0] + n / 2) / n), int((sum[1] + n / 2) / n), int((sum[2] + n / 2) / n));
}

TEST(EffectMosaic, BlocksStartAtTheRegionAndHoldTheirMean)
{
    const QImage in = PixelProbe::noise(23, 17, 41);
    const QRect area(QPoint(2, 3), QPoint(20, 14)); // 19 x 12: the last block column is 3 wide
    const QImage out = EffectMosaic::mosaic(in, {2, 20, 20, 2}, {3, 3, 14, 14}, 4, 5);
    ASSERT_FALSE(out.isNull());
    for (int by = area.top(); by <= area.bottom(); by += 5)
        for (int bx = area.left(); bx <= area.right(); bx += 4) {
            const QRect block = QRect(bx, by, 4, 5) & area;
            const QRgb expected = meanColour(in, block);
            for (int y = block.top(); y <= block.bottom(); ++y)
                for (int x = block.left(); x <= block.right(); ++x)
                    ASSERT_EQ(out.pixel(x, y), expected) << x << "," << y;
        }
}

TEST(EffectMosaic, BlockSizeOneKeepsAndOversizedBlocksFillTheRegion)
{
    const QImage in = PixelProbe::noise(20, 10, 41);
    const EffectCorners xs{0, 20, 20, 0}, ys{0, 0, 10, 10};
    EXPECT_EQ(EffectMosaic::mosaic(in, xs, ys, 1, 1), in);
    const QImage one = EffectMosaic::mosaic(in, xs, ys, 255, 255);
    const QRgb mean = meanColour(in, in.rect());
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(one.pixel(x, y), mean);
}

TEST(EffectMosaic, RejectsBlockSizesOutsideTheirRange)
{
    QString error;
    EXPECT_TRUE(EffectMosaic::mosaic(PixelProbe::noise(4, 4, 41), {0, 4, 4, 0}, {0, 0, 4, 4}, 0, 4, &error).isNull());
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(EffectMosaic::mosaic(PixelProbe::noise(4, 4, 41), {0, 4, 4, 0}, {0, 0, 4, 4}, 4, 256).isNull());
}

} // namespace
