// The 3 x 3 median against a direct reference, on specks and edges.
#include "imaging/effects/EffectNoise.h"

#include "support/PixelProbe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

namespace {

// The plain median of nine with repeated edge pixels, one channel at a time.
QImage referenceMedian(const QImage& in)
{
    QImage out = in.copy();
    const int w = in.width(), h = in.height();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) {
                std::array<int, 9> v{};
                int n = 0;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        v[n++] = in.constScanLine(std::clamp(y + dy, 0, h - 1))[std::clamp(x + dx, 0, w - 1) * 3 + c];
                std::nth_element(v.begin(), v.begin() + 4, v.end());
                out.scanLine(y)[x * 3 + c] = static_cast<uchar>(v[4]);
            }
    return out;
}

TEST(EffectNoise, MatchesThePlainMedianOfNine)
{
    for (const QSize size : {QSize(37, 23), QSize(1, 5), QSize(6, 1), QSize(1, 1)}) {
        const QImage in = PixelProbe::noise(size.width(), size.height(), 11);
        const int w = size.width(), h = size.height();
        const QImage out = EffectNoise::removeNoise(in, {0, w, w, 0}, {0, 0, h, h}, 0, 0);
        ASSERT_EQ(out, referenceMedian(in)) << w << "x" << h;
    }
}

TEST(EffectNoise, RegionUsesTheRealNeighboursOutsideIt)
{
    const QImage in = PixelProbe::noise(30, 20, 12);
    const QImage out = EffectNoise::removeNoise(in, {4, 20, 20, 4}, {3, 3, 15, 15}, 0, 0);
    const QImage reference = referenceMedian(in);
    for (int y = 3; y <= 15; ++y)
        for (int x = 4; x <= 20; ++x)
            ASSERT_EQ(out.pixel(x, y), reference.pixel(x, y)) << x << "," << y;
}

TEST(EffectNoise, RemovesSaltAndPepperButKeepsEdges)
{
    // Left half dark, right half light, with single white and black specks.
    QImage in(40, 40, QImage::Format_RGB888);
    in.fill(QColor(60, 60, 60));
    for (int y = 0; y < 40; ++y)
        for (int x = 20; x < 40; ++x)
            in.setPixel(x, y, qRgb(200, 200, 200));
    const QPoint salt[] = {{5, 5}, {10, 30}, {15, 18}};
    const QPoint pepper[] = {{25, 7}, {33, 33}, {30, 20}};
    for (const QPoint p : salt)
        in.setPixel(p, qRgb(255, 255, 255));
    for (const QPoint p : pepper)
        in.setPixel(p, qRgb(0, 0, 0));
    const QImage out = EffectNoise::removeNoise(in, {0, 40, 40, 0}, {0, 0, 40, 40}, 0, 0);
    for (const QPoint p : salt)
        EXPECT_EQ(out.pixel(p), qRgb(60, 60, 60));
    for (const QPoint p : pepper)
        EXPECT_EQ(out.pixel(p), qRgb(200, 200, 200));
    for (int y = 0; y < 40; ++y) {
        EXPECT_EQ(out.pixel(19, y), qRgb(60, 60, 60));
        EXPECT_EQ(out.pixel(20, y), qRgb(200, 200, 200));
    }
}

TEST(EffectNoise, LevelSparesSmallDeviations)
{
    QImage in(9, 9, QImage::Format_RGB888);
    in.fill(QColor(100, 100, 100));
    in.setPixel(2, 2, qRgb(110, 110, 110)); // a small ripple in the texture
    in.setPixel(6, 6, qRgb(250, 250, 250)); // a speck
    const QImage out = EffectNoise::removeNoise(in, {0, 9, 9, 0}, {0, 0, 9, 9}, 0, 20);
    EXPECT_EQ(out.pixel(2, 2), qRgb(110, 110, 110));
    EXPECT_EQ(out.pixel(6, 6), qRgb(100, 100, 100));
}

TEST(EffectNoise, RejectsUnknownModeAndLevel)
{
    QString error;
    EXPECT_TRUE(
        EffectNoise::removeNoise(PixelProbe::noise(4, 4, 1), {0, 4, 4, 0}, {0, 0, 4, 4}, 1, 0, &error).isNull());
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(EffectNoise::removeNoise(PixelProbe::noise(4, 4, 1), {0, 4, 4, 0}, {0, 0, 4, 4}, 0, -1).isNull());
}

} // namespace
