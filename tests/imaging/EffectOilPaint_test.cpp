// The oil-paint filter against a direct reference, and what it does to a picture.
#include "imaging/effects/EffectOilPaint.h"

#include <gtest/gtest.h>

#include "support/PixelProbe.h"

#include <array>
#include <random>

namespace {

// The filter written out plainly: histogram of luma / 8 over the window cut at the image border, the first
// most common bucket, the rounded mean colour of its pixels.
QImage referenceOil(const QImage& in, int maskSize, const QRect& area)
{
    const int radius = (maskSize - 1) / 2;
    QImage out = in.copy();
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            std::array<int, 32> count{};
            std::array<std::array<long, 3>, 32> sum{};
            for (int wy = std::max(y - radius, 0); wy <= std::min(y + radius, in.height() - 1); ++wy)
                for (int wx = std::max(x - radius, 0); wx <= std::min(x + radius, in.width() - 1); ++wx) {
                    const uchar* p = in.constScanLine(wy) + wx * 3;
                    const int b = (77 * p[0] + 150 * p[1] + 29 * p[2]) >> 11;
                    ++count[b];
                    for (int c = 0; c < 3; ++c)
                        sum[b][c] += p[c];
                }
            const int best = static_cast<int>(std::max_element(count.begin(), count.end()) - count.begin());
            for (int c = 0; c < 3; ++c)
                out.scanLine(y)[x * 3 + c] = static_cast<uchar>((sum[best][c] + count[best] / 2) / count[best]);
        }
    return out;
}

// Maximal difference of any channel between two images.
int largestDifference(const QImage& a, const QImage& b)
{
    int most = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int i = 0; i < a.width() * 3; ++i)
            most = std::max(most, std::abs(a.constScanLine(y)[i] - b.constScanLine(y)[i]));
    return most;
}

TEST(EffectOilPaint, MatchesThePlainFilter)
{
    const QImage in = PixelProbe::noise(45, 33, 31);
    for (int mask : {2, 3, 7, 10, 40}) {
        const QImage out = EffectOilPaint::oilPaint(in, {0, 45, 45, 0}, {0, 0, 33, 33}, 0, mask);
        ASSERT_FALSE(out.isNull());
        // Fixed-point division may round a sum one level differently.
        EXPECT_LE(largestDifference(out, referenceOil(in, mask, in.rect())), 1) << mask;
    }
}

TEST(EffectOilPaint, RegionReadsPixelsAroundIt)
{
    const QImage in = PixelProbe::noise(40, 40, 32);
    const QRect area(QPoint(7, 9), QPoint(30, 25));
    const QImage out = EffectOilPaint::oilPaint(in, {7, 30, 30, 7}, {9, 9, 25, 25}, 0, 9);
    EXPECT_LE(largestDifference(out, referenceOil(in, 9, area)), 1);
}

TEST(EffectOilPaint, LargeRegionSplitOverThreadsMatchesToo)
{
    // Big enough for the bands to run in parallel and the result to take the large-image allocation.
    const QImage in = PixelProbe::noise(1400, 1100, 34);
    const QRect area(QPoint(100, 150), QPoint(699, 549));
    const QImage out = EffectOilPaint::oilPaint(in, {100, 699, 699, 100}, {150, 150, 549, 549}, 0, 5);
    EXPECT_LE(largestDifference(out, referenceOil(in, 5, area)), 1);
}

TEST(EffectOilPaint, BrushOneKeepsThePictureAndBiggerBrushesReduceColours)
{
    // A smooth colour field with fine noise, like a photo.
    QImage in(64, 64, QImage::Format_RGB888);
    std::mt19937 random(33);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            in.setPixel(x, y, qRgb(x * 3 + random() % 16, y * 3 + random() % 16, 128 + random() % 16));
    const EffectCorners xs{0, 64, 64, 0}, ys{0, 0, 64, 64};
    EXPECT_EQ(EffectOilPaint::oilPaint(in, xs, ys, 0, 1), in);
    size_t last = PixelProbe::colors(in).size();
    for (int mask : {5, 11, 21}) {
        const size_t colours = PixelProbe::colors(EffectOilPaint::oilPaint(in, xs, ys, 0, mask)).size();
        EXPECT_LT(colours, last) << mask;
        last = colours;
    }
}

TEST(EffectOilPaint, RejectsUnknownModeAndBrushSize)
{
    QString error;
    EXPECT_TRUE(
        EffectOilPaint::oilPaint(PixelProbe::noise(4, 4, 1), {0, 4, 4, 0}, {0, 0, 4, 4}, 2, 10, &error).isNull());
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(EffectOilPaint::oilPaint(PixelProbe::noise(4, 4, 1), {0, 4, 4, 0}, {0, 0, 4, 4}, 0, 0).isNull());
    EXPECT_TRUE(EffectOilPaint::oilPaint(PixelProbe::noise(4, 4, 1), {0, 4, 4, 0}, {0, 0, 4, 4}, 0, 101).isNull());
}

} // namespace
