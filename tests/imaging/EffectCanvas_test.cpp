// The canvas relief: texture strength follows the depth, the light direction turns it.
#include "imaging/effects/EffectCanvas.h"

#include <gtest/gtest.h>

#include "support/PixelProbe.h"

#include <cmath>

namespace {

const EffectCorners xs{0, 96, 96, 0};
const EffectCorners ys{0, 0, 96, 96};

// Mean absolute and mean signed change of the green channel.
std::pair<double, double> change(const QImage& before, const QImage& after)
{
    double absolute = 0, signedSum = 0;
    for (int y = 0; y < before.height(); ++y)
        for (int x = 0; x < before.width(); ++x) {
            const int d = qGreen(after.pixel(x, y)) - qGreen(before.pixel(x, y));
            absolute += std::abs(d);
            signedSum += d;
        }
    const double n = before.width() * before.height();
    return {absolute / n, signedSum / n};
}

TEST(EffectCanvas, DeeperReliefChangesMoreWithoutShiftingBrightness)
{
    const QImage grey = PixelProbe::filled(96, 96, qRgb(128, 128, 128));
    EXPECT_EQ(EffectCanvas::canvas(grey, xs, ys, 0, 0), grey);
    double last = 0;
    for (int depth : {5, 10, 40, 100}) {
        const QImage out = EffectCanvas::canvas(grey, xs, ys, 0, depth);
        ASSERT_FALSE(out.isNull());
        const auto [absolute, mean] = change(grey, out);
        EXPECT_GT(absolute, last) << depth;
        EXPECT_LT(std::abs(mean), 0.1 * depth + 0.5) << "relief should not darken or lighten overall";
        last = absolute;
    }
    // Default depth: a visible but modest texture.
    const auto [absolute, mean] = change(grey, EffectCanvas::canvas(grey, xs, ys, 0, 10));
    EXPECT_GT(absolute, 1.0);
    EXPECT_LT(absolute, 12.0);
    EXPECT_GT(PixelProbe::colors(EffectCanvas::canvas(grey, xs, ys, 0, 10)).size(), 8u);
}

TEST(EffectCanvas, OppositeLightInvertsTheRelief)
{
    const QImage grey = PixelProbe::filled(96, 96, qRgb(128, 128, 128));
    const QImage fromTopLeft = EffectCanvas::canvas(grey, xs, ys, 0, 20);
    const QImage fromBottomRight = EffectCanvas::canvas(grey, xs, ys, 2, 20);
    int mirrored = 0;
    for (int y = 0; y < 96; ++y)
        for (int x = 0; x < 96; ++x)
            mirrored += qGreen(fromTopLeft.pixel(x, y)) - 128 == 128 - qGreen(fromBottomRight.pixel(x, y));
    EXPECT_EQ(mirrored, 96 * 96);
    EXPECT_NE(fromTopLeft, EffectCanvas::canvas(grey, xs, ys, 1, 20));
}

TEST(EffectCanvas, RejectsUnknownDirectionAndDepth)
{
    const QImage grey = PixelProbe::filled(8, 8, qRgb(128, 128, 128));
    QString error;
    EXPECT_TRUE(EffectCanvas::canvas(grey, {0, 8, 8, 0}, {0, 0, 8, 8}, 4, 10, &error).isNull());
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(EffectCanvas::canvas(grey, {0, 8, 8, 0}, {0, 0, 8, 8}, 0, 256).isNull());
}

} // namespace
