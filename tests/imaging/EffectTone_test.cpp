// Gamma, channel levels, grey and the sepia tint built from them.
#include "imaging/effects/EffectTone.h"

#include <gtest/gtest.h>

namespace {

// A grey ramp 0 … 255 across, the same on every row.
QImage greyRamp()
{
    QImage image(256, 4, QImage::Format_RGB888);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 256; ++x)
            image.setPixel(x, y, qRgb(x, x, x));
    return image;
}

QImage colourful()
{
    QImage image(64, 64, QImage::Format_RGB888);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            image.setPixel(x, y, qRgb(x * 4, y * 4, (x * y) % 256));
    return image;
}

double meanOf(const QImage& image)
{
    double sum = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            sum += qRed(image.pixel(x, y)) + qGreen(image.pixel(x, y)) + qBlue(image.pixel(x, y));
    return sum / (3.0 * image.width() * image.height());
}

const EffectCorners wholeX{0, 256, 256, 0};
const EffectCorners wholeY{0, 0, 4, 4};

TEST(EffectTone, GammaStepsDarkenAndBrightenGently)
{
    const QImage ramp = greyRamp();
    const QImage darker = EffectTone::rgbGamma(ramp, wholeX, wholeY, 0.05, 0.05, 0.05);
    const QImage brighter = EffectTone::rgbGamma(ramp, wholeX, wholeY, -0.05, -0.05, -0.05);
    ASSERT_FALSE(darker.isNull());
    ASSERT_FALSE(brighter.isNull());
    EXPECT_LT(meanOf(darker), meanOf(ramp));
    EXPECT_GT(meanOf(brighter), meanOf(ramp));
    // Gentle: mid grey moves by a few levels, black and white stay.
    const int mid = qRed(darker.pixel(128, 0));
    EXPECT_GE(mid, 120);
    EXPECT_LE(mid, 126);
    EXPECT_EQ(qRed(darker.pixel(0, 0)), 0);
    EXPECT_EQ(qRed(darker.pixel(255, 0)), 255);
    // Every grey level keeps its order (no banding reversal).
    for (int x = 1; x < 256; ++x)
        EXPECT_LE(qRed(darker.pixel(x - 1, 0)), qRed(darker.pixel(x, 0)));
}

TEST(EffectTone, GammaIsMonotonicInItsValueAndPerChannel)
{
    const QImage ramp = greyRamp();
    double last = 256;
    for (double value : {-0.5, -0.05, 0.0, 0.05, 0.5, 2.0}) {
        const double mean = meanOf(EffectTone::rgbGamma(ramp, wholeX, wholeY, value, value, value));
        EXPECT_LT(mean, last) << value;
        last = mean;
    }
    const QImage onlyRed = EffectTone::rgbGamma(ramp, wholeX, wholeY, 0.5, 0.0, 0.0);
    EXPECT_LT(qRed(onlyRed.pixel(100, 0)), 100);
    EXPECT_EQ(qGreen(onlyRed.pixel(100, 0)), 100);
    EXPECT_EQ(qBlue(onlyRed.pixel(100, 0)), 100);
}

TEST(EffectTone, RejectsValuesOutsideTheirRange)
{
    QString error;
    EXPECT_TRUE(EffectTone::rgbGamma(greyRamp(), wholeX, wholeY, -1.0, 0, 0, &error).isNull());
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(EffectTone::rgbGamma(greyRamp(), wholeX, wholeY, 0, std::nan(""), 0).isNull());
    EXPECT_TRUE(EffectTone::rgbLevel(greyRamp(), wholeX, wholeY, 0, 300, 0).isNull());
}

TEST(EffectTone, LevelAddsAndClamps)
{
    const QImage out = EffectTone::rgbLevel(greyRamp(), wholeX, wholeY, 10, -10, -35);
    EXPECT_EQ(out.pixel(100, 0), qRgb(110, 90, 65));
    EXPECT_EQ(out.pixel(250, 0), qRgb(255, 240, 215));
    EXPECT_EQ(out.pixel(5, 0), qRgb(15, 0, 0));
}

TEST(EffectTone, GrayGivesEqualChannelsWithLumaWeights)
{
    const QImage grey = EffectTone::setGray(colourful());
    ASSERT_FALSE(grey.isNull());
    for (int y = 0; y < 64; y += 3)
        for (int x = 0; x < 64; x += 3) {
            const QRgb p = grey.pixel(x, y);
            ASSERT_EQ(qRed(p), qGreen(p));
            ASSERT_EQ(qGreen(p), qBlue(p));
        }
    // Green weighs most, blue least.
    QImage primaries(3, 1, QImage::Format_RGB888);
    primaries.setPixel(0, 0, qRgb(255, 0, 0));
    primaries.setPixel(1, 0, qRgb(0, 255, 0));
    primaries.setPixel(2, 0, qRgb(0, 0, 255));
    const QImage g = EffectTone::setGray(primaries);
    EXPECT_GT(qRed(g.pixel(1, 0)), qRed(g.pixel(0, 0)));
    EXPECT_GT(qRed(g.pixel(0, 0)), qRed(g.pixel(2, 0)));
}

TEST(EffectTone, SepiaIsWarmOnAGreyRamp)
{
    // Sepia: grey first, then the tint levels over the whole picture.
    const QImage grey = EffectTone::setGray(colourful());
    const QImage sepia = EffectTone::rgbLevel(grey, {0, 64, 64, 0}, {0, 0, 64, 64}, 10, -10, -35);
    const QImage rampSepia = EffectTone::rgbLevel(EffectTone::setGray(greyRamp()), wholeX, wholeY, 10, -10, -35);
    for (int x = 0; x < 256; ++x) {
        const QRgb p = rampSepia.pixel(x, 0);
        EXPECT_GE(qRed(p), qGreen(p));
        EXPECT_GE(qGreen(p), qBlue(p));
        if (x >= 36 && x <= 244) {
            EXPECT_GT(qRed(p), qGreen(p)) << x;
            EXPECT_GT(qGreen(p), qBlue(p)) << x;
        }
    }
    EXPECT_GT(qRed(sepia.pixel(32, 32)), qBlue(sepia.pixel(32, 32)));
}

} // namespace
