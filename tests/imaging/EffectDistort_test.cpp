// Ripple and waves: displacement along the stated axis, with the stated period and amplitude.
#include "imaging/effects/EffectDistort.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

// Red = x, green = y: a pixel's colour says where it was read from.
QImage coordinates(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(x, y, 0));
    return image;
}

constexpr double twoPi = 2 * std::numbers::pi;

TEST(EffectDistort, VerticalWavesShiftColumnsUpAndDown)
{
    const QImage in = coordinates(160, 200);
    const QImage out = EffectDistort::waves(in, {0, 160, 160, 0}, {0, 0, 200, 200}, 0, 0, 40, 5, 0.0, 1);
    ASSERT_FALSE(out.isNull());
    for (int x = 0; x < 160; ++x) {
        const double expected = 100 + 5 * std::sin(twoPi * x / 40.0);
        EXPECT_NEAR(qGreen(out.pixel(x, 100)), expected, 1.0) << x;
        EXPECT_EQ(qRed(out.pixel(x, 100)), x) << "no sideways shift";
        if (x + 40 < 160) {
            EXPECT_EQ(qGreen(out.pixel(x, 100)), qGreen(out.pixel(x + 40, 100))) << "period 40";
        }
    }
}

TEST(EffectDistort, HorizontalWavesShiftRowsSideways)
{
    const QImage in = coordinates(200, 120);
    const QImage out = EffectDistort::waves(in, {0, 200, 200, 0}, {0, 0, 120, 120}, 1, 0, 30, 8, 0.0, 1);
    for (int y = 0; y < 120; ++y) {
        EXPECT_NEAR(qRed(out.pixel(100, y)), 100 + 8 * std::sin(twoPi * y / 30.0), 1.0) << y;
        EXPECT_EQ(qGreen(out.pixel(100, y)), y);
    }
}

TEST(EffectDistort, WavePhaseAndTypeShapeTheShift)
{
    const QImage in = coordinates(120, 120);
    const EffectCorners xs{0, 120, 120, 0}, ys{0, 0, 120, 120};
    const QImage start = EffectDistort::waves(in, xs, ys, 0, 0, 40, 10, 0.0, 1);
    const QImage quarter = EffectDistort::waves(in, xs, ys, 0, 0, 40, 10, 0.25, 1);
    for (int x = 0; x + 10 < 120; ++x)
        EXPECT_EQ(qGreen(quarter.pixel(x, 60)), qGreen(start.pixel(x + 10, 60)))
            << "a quarter phase is a quarter period";
    // The triangle wave reaches its full amplitude at a quarter period and runs straight in between.
    const QImage triangle = EffectDistort::waves(in, xs, ys, 0, 1, 40, 10, 0.0, 1);
    EXPECT_EQ(qGreen(triangle.pixel(10, 60)), 70);
    EXPECT_EQ(qGreen(triangle.pixel(5, 60)), 65);
    EXPECT_EQ(qGreen(triangle.pixel(30, 60)), 50);
}

TEST(EffectDistort, WaveEdgesReadBackgroundOrMirror)
{
    const QImage in = coordinates(80, 80);
    const EffectCorners xs{0, 80, 80, 0}, ys{0, 0, 80, 80};
    const QImage filled = EffectDistort::waves(in, xs, ys, 0, 0, 40, 6, 0.0, 0, QColor(0, 0, 255));
    // Column 10 reads 6 rows further down: its bottom rows lie beyond the picture.
    EXPECT_EQ(filled.pixel(10, 79), qRgb(0, 0, 255));
    const QImage mirrored = EffectDistort::waves(in, xs, ys, 0, 0, 40, 6, 0.0, 1);
    EXPECT_EQ(mirrored.pixel(10, 79), qRgb(10, 73, 0));
    const QImage clamped = EffectDistort::waves(in, xs, ys, 0, 0, 40, 6, 0.0, 2);
    EXPECT_EQ(clamped.pixel(10, 79), qRgb(10, 79, 0));
    // The same for rows moved sideways: row 10 reads 6 columns further right.
    const QImage sideways = EffectDistort::waves(in, xs, ys, 1, 0, 40, 6, 0.0, 0, QColor(0, 0, 255));
    EXPECT_EQ(sideways.pixel(79, 10), qRgb(0, 0, 255));
    EXPECT_EQ(sideways.pixel(73, 10), qRgb(79, 10, 0));
    EXPECT_EQ(EffectDistort::waves(in, xs, ys, 1, 0, 40, 6, 0.0, 1).pixel(79, 10), qRgb(73, 10, 0));
}

TEST(EffectDistort, RippleMovesPixelsAlongTheirRadius)
{
    const QImage in = coordinates(201, 201);
    const QImage out = EffectDistort::ripple(in, {0, 201, 201, 0}, {0, 0, 201, 201}, 4, 25, 0.0, true, true);
    ASSERT_FALSE(out.isNull());
    for (int x = 101; x < 190; ++x) {
        // On the horizontal line through the centre the shift is horizontal only.
        const double r = x - 100;
        EXPECT_NEAR(qRed(out.pixel(x, 100)), x + 4 * std::sin(twoPi * r / 25), 1.0) << x;
        EXPECT_EQ(qGreen(out.pixel(x, 100)), 100);
        // On the vertical line the shift is vertical only.
        EXPECT_EQ(qRed(out.pixel(100, x)), 100);
        EXPECT_NEAR(qGreen(out.pixel(100, x)), x + 4 * std::sin(twoPi * r / 25), 1.0) << x;
    }
}

TEST(EffectDistort, RippleAmplitudeGrowsTheShift)
{
    const QImage in = coordinates(101, 101);
    const EffectCorners xs{0, 101, 101, 0}, ys{0, 0, 101, 101};
    int last = 0;
    for (int amp : {1, 4, 10}) {
        const QImage out = EffectDistort::ripple(in, xs, ys, amp, 40, 0.0, false, true);
        // Ten pixels right of the centre the shift is amp * sin(pi / 2).
        const int shift = qRed(out.pixel(60, 50)) - 60;
        EXPECT_NEAR(shift, amp, 1) << amp;
        EXPECT_GT(shift, last);
        last = shift;
    }
}

TEST(EffectDistort, RejectsParametersOutsideTheirRange)
{
    const QImage in = coordinates(10, 10);
    const EffectCorners xs{0, 10, 10, 0}, ys{0, 0, 10, 10};
    QString error;
    EXPECT_TRUE(EffectDistort::ripple(in, xs, ys, 0, 10, 0.0, false, true, Qt::black, &error).isNull());
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(EffectDistort::ripple(in, xs, ys, 5, 10, std::nan(""), false, true).isNull());
    EXPECT_TRUE(EffectDistort::waves(in, xs, ys, 2, 0, 10, 5, 0.0, 1).isNull());
    EXPECT_TRUE(EffectDistort::waves(in, xs, ys, 0, 0, 0, 5, 0.0, 1).isNull());
    EXPECT_TRUE(EffectDistort::waves(in, xs, ys, 0, 0, 10, 5, 0.0, 3).isNull());
}

} // namespace
