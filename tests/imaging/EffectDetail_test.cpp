// Sharpening and outline smoothing.
#include "imaging/effects/EffectDetail.h"

#include <gtest/gtest.h>

namespace {

// A soft vertical edge: dark on the left, light on the right, with a two-pixel ramp between.
QImage softEdge()
{
    QImage image(32, 8, QImage::Format_RGB888);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 32; ++x) {
            const int v = x < 15 ? 80 : x == 15 ? 110 : x == 16 ? 150 : 180;
            image.setPixel(x, y, qRgb(v, v, v));
        }
    return image;
}

// Contrast across the edge: light side just right of it minus dark side just left of it.
int edgeContrast(const QImage& image)
{
    return qRed(image.pixel(17, 4)) - qRed(image.pixel(14, 4));
}

const EffectCorners wholeX{0, 32, 32, 0};
const EffectCorners wholeY{0, 0, 8, 8};

TEST(EffectDetail, SharpRaisesEdgeContrastMoreWithLevel)
{
    const QImage in = softEdge();
    EXPECT_EQ(EffectDetail::sharp(in, wholeX, wholeY, 0), in);
    int last = edgeContrast(in);
    for (int level : {5, 30, 100}) {
        const QImage out = EffectDetail::sharp(in, wholeX, wholeY, level);
        ASSERT_FALSE(out.isNull());
        EXPECT_GT(edgeContrast(out), last) << level;
        last = edgeContrast(out);
        // Flat areas away from the edge stay flat.
        EXPECT_EQ(out.pixel(5, 4), in.pixel(5, 4));
        EXPECT_EQ(out.pixel(28, 4), in.pixel(28, 4));
    }
}

TEST(EffectDetail, SharpRejectsLevelsOutsideItsRange)
{
    QString error;
    EXPECT_TRUE(EffectDetail::sharp(softEdge(), wholeX, wholeY, 101, &error).isNull());
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(EffectDetail::sharp(softEdge(), wholeX, wholeY, -1).isNull());
}

TEST(EffectDetail, AntiAliasSoftensAStaircaseAndLeavesFlatAreas)
{
    // A black diagonal staircase on white: every pixel is pure black or white.
    QImage in(24, 24, QImage::Format_RGB888);
    in.fill(Qt::white);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x)
            if (x / 2 < y / 2)
                in.setPixel(x, y, qRgb(0, 0, 0));
    const QImage out = EffectDetail::antiAlias(in, {0, 24, 24, 0}, {0, 0, 24, 24});
    ASSERT_FALSE(out.isNull());
    int inBetween = 0;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x) {
            const int v = qRed(out.pixel(x, y));
            inBetween += v > 20 && v < 235;
        }
    EXPECT_GT(inBetween, 20) << "the steps should gain intermediate tones";
    EXPECT_EQ(out.pixel(22, 1), qRgb(255, 255, 255));
    EXPECT_EQ(out.pixel(1, 22), qRgb(0, 0, 0));
}

TEST(EffectDetail, AntiAliasBarelyTouchesFineLowContrastTexture)
{
    QImage in(16, 16, QImage::Format_RGB888);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const int v = 120 + ((x + y) % 2) * 4;
            in.setPixel(x, y, qRgb(v, v, v));
        }
    const QImage out = EffectDetail::antiAlias(in, {0, 16, 16, 0}, {0, 0, 16, 16});
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            ASSERT_LE(std::abs(qRed(out.pixel(x, y)) - qRed(in.pixel(x, y))), 1);
}

} // namespace
