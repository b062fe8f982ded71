// Blur strength, variance and how the region meets its surroundings.
#include "imaging/effects/EffectBlur.h"

#include "support/PixelProbe.h"

#include <gtest/gtest.h>

namespace {

struct Moments
{
    double mean = 0;
    double variance = 0;
};

Moments moments(const QImage& image, const QRect& area)
{
    double sum = 0, squares = 0;
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const double v = qGreen(image.pixel(x, y));
            sum += v;
            squares += v * v;
            ++n;
        }
    const double mean = sum / n;
    return {mean, squares / n - mean * mean};
}

TEST(EffectBlur, StrongerBlurLowersVarianceAndKeepsTheMean)
{
    const QImage in = PixelProbe::noise(120, 90, 21);
    const QRect whole = in.rect();
    const Moments original = moments(in, whole);
    double last = original.variance;
    for (int level : {1, 2, 5, 10, 20}) {
        const QImage out = EffectBlur::blur(in, {0, 120, 120, 0}, {0, 0, 90, 90}, level);
        ASSERT_FALSE(out.isNull());
        const Moments m = moments(out, whole);
        EXPECT_LT(m.variance, last) << level;
        EXPECT_NEAR(m.mean, original.mean, 2.0) << level;
        last = m.variance;
    }
}

TEST(EffectBlur, FlatPicturesStayFlat)
{
    QImage in(50, 40, QImage::Format_RGB888);
    in.fill(QColor(12, 130, 251));
    const QImage out = EffectBlur::blur(in, {0, 50, 50, 0}, {0, 0, 40, 40}, 20);
    EXPECT_EQ(out, in);
}

TEST(EffectBlur, RegionEdgeBlendsWithItsSurroundings)
{
    // Black left half, white right half; a region that ends just left of the border.
    QImage in(60, 20, QImage::Format_RGB888);
    in.fill(Qt::black);
    for (int y = 0; y < 20; ++y)
        for (int x = 30; x < 60; ++x)
            in.setPixel(x, y, qRgb(255, 255, 255));
    const QImage out = EffectBlur::blur(in, {10, 29, 29, 10}, {0, 0, 19, 19}, 3);
    // The white beyond the region brightens the region's right edge; the region's far side stays black.
    EXPECT_GT(qRed(out.pixel(29, 10)), 40);
    EXPECT_EQ(qRed(out.pixel(10, 10)), 0);
    EXPECT_EQ(out.pixel(30, 10), qRgb(255, 255, 255));
}

TEST(EffectBlur, RejectsStrengthOutsideItsRange)
{
    QString error;
    EXPECT_TRUE(EffectBlur::blur(PixelProbe::noise(8, 8, 21), {0, 8, 8, 0}, {0, 0, 8, 8}, 0, &error).isNull());
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(EffectBlur::blur(PixelProbe::noise(8, 8, 21), {0, 8, 8, 0}, {0, 0, 8, 8}, 21).isNull());
}

} // namespace
