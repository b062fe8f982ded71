#include "imaging/effects/ColorReduction.h"
#include "imaging/effects/FixedPalette.h"

#include "support/PixelProbe.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A smooth photo-like picture: horizontal hue ramp, vertical brightness ramp.
QImage gradient(int w = 96, int h = 64)
{
    QImage image(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(x * 255 / (w - 1), y * 255 / (h - 1), 128 + (x - y) / 4));
    return image;
}

QImage greyRamp(int w = 256, int h = 8)
{
    QImage image(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(x * 255 / (w - 1), x * 255 / (w - 1), x * 255 / (w - 1)));
    return image;
}

double meanSquaredError(const QImage& a, const QImage& b)
{
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            const int dr = qRed(p) - qRed(q), dg = qGreen(p) - qGreen(q), db = qBlue(p) - qBlue(q);
            sum += dr * dr + dg * dg + db * db;
        }
    return sum / (3.0 * a.width() * a.height());
}

// Number of places along a row where the colour changes.
int changesAlongRow(const QImage& image, int y)
{
    int changes = 0;
    for (int x = 1; x < image.width(); ++x)
        changes += image.pixelIndex(x, y) != image.pixelIndex(x - 1, y);
    return changes;
}

} // namespace

TEST(ColorReductionTest, PaletteSizesAndFormatsForEveryMode)
{
    for (const int bits : {8, 4})
        for (const bool fixed : {false, true})
            for (const bool dither : {false, true}) {
                SCOPED_TRACE(testing::Message() << bits << " bits fixed " << fixed << " dither " << dither);
                QString error;
                const QImage out = ColorReduction::convertColor(gradient(), bits, fixed, dither, 0, &error);
                ASSERT_FALSE(out.isNull()) << error.toStdString();
                EXPECT_EQ(out.format(), QImage::Format_Indexed8);
                EXPECT_EQ(out.colorCount(), bits == 8 ? 256 : 16);
                EXPECT_EQ(out.size(), QSize(96, 64));
            }
}

TEST(ColorReductionTest, TwentyFourBitsDropsAlphaOverWhite)
{
    QImage argb(2, 1, QImage::Format_ARGB32);
    argb.setPixel(0, 0, qRgba(0, 0, 0, 0));     // fully transparent -> white
    argb.setPixel(1, 0, qRgba(200, 0, 0, 128)); // half red over white
    const QImage out = ColorReduction::convertColor(argb, 24, false, false);
    ASSERT_EQ(out.format(), QImage::Format_RGB888);
    EXPECT_EQ(out.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(out.pixel(1, 0), qRgb(227, 127, 127));
}

TEST(ColorReductionTest, IndexedInputIsReducedFurther)
{
    // A later reduction starts from an 8-bit result.
    const QImage eight = ColorReduction::convertColor(gradient(), 8, false, true);
    const QImage four = ColorReduction::convertColor(eight, 4, false, true);
    ASSERT_FALSE(four.isNull());
    EXPECT_EQ(four.colorCount(), 16);
}

TEST(ColorReductionTest, RefusesBadRequests)
{
    QString error;
    EXPECT_TRUE(ColorReduction::convertColor(QImage(), 8, false, false, 0, &error).isNull());
    EXPECT_FALSE(error.isEmpty());
    error.clear();
    EXPECT_TRUE(ColorReduction::convertColor(gradient(), 16, false, false, 0, &error).isNull());
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(ColorReduction::convertColor(gradient(), 8, false, false, 11, &error).isNull());
}

TEST(ColorReductionTest, DitherMixesPixelsWhereNearestColourMakesBands)
{
    for (const bool fixed : {true, false}) {
        SCOPED_TRACE(fixed ? "fixed palette" : "optimised palette");
        const QImage ramp = greyRamp();
        const QImage banded = ColorReduction::convertColor(ramp, 4, fixed, false);
        const QImage dithered = ColorReduction::convertColor(ramp, 4, fixed, true);
        // Without dithering a grey ramp breaks into a few flat bands; with it colours alternate often.
        EXPECT_LE(changesAlongRow(banded, 4), 16);
        EXPECT_GE(changesAlongRow(dithered, 4), 3 * changesAlongRow(banded, 4));
        // Band rows are identical; dithered rows differ from each other.
        bool rowsDiffer = false;
        for (int x = 0; x < ramp.width(); ++x)
            rowsDiffer |= dithered.pixelIndex(x, 3) != dithered.pixelIndex(x, 4);
        EXPECT_TRUE(rowsDiffer);
    }
}

TEST(ColorReductionTest, DitheringKeepsAverageBrightness)
{
    // Mid grey 100 lies between the fixed 16-colour entries; the dithered mix must average back to it.
    const QImage grey = PixelProbe::filled(64, 64, qRgb(100, 100, 100));
    const QImage dithered = ColorReduction::convertColor(grey, 4, true, true);
    double sum = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            sum += qGray(dithered.pixel(x, y));
    EXPECT_NEAR(sum / (64 * 64), 100.0, 2.0);
}

TEST(ColorReductionTest, FixedPalettesHaveTheIntendedColours)
{
    const QList<QRgb> web = FixedPalette::colors(256);
    ASSERT_EQ(web.size(), 256);
    EXPECT_EQ(std::set<QRgb>(web.begin(), web.end()).size(), 256u);
    EXPECT_TRUE(web.contains(qRgb(51, 102, 255)));
    EXPECT_TRUE(web.contains(qRgb(17, 17, 17)));
    const QList<QRgb> vga = FixedPalette::colors(16);
    ASSERT_EQ(vga.size(), 16);
    EXPECT_TRUE(vga.contains(qRgb(192, 192, 192)));
    // Without dithering, fixed-palette colours map onto themselves.
    QImage exact(1, 2, QImage::Format_RGB888);
    exact.setPixel(0, 0, qRgb(51, 102, 255));
    exact.setPixel(0, 1, qRgb(128, 0, 128));
    EXPECT_EQ(ColorReduction::convertColor(exact, 8, true, false).pixel(0, 0), qRgb(51, 102, 255));
    EXPECT_EQ(ColorReduction::convertColor(exact, 4, true, false).pixel(0, 1), qRgb(128, 0, 128));
}

TEST(ColorReductionTest, OptimisedPaletteFitsThePictureBetterThanFixed)
{
    const QImage picture = gradient(128, 128);
    for (const int bits : {8, 4}) {
        const double optimised = meanSquaredError(picture, ColorReduction::convertColor(picture, bits, false, false));
        const double fixed = meanSquaredError(picture, ColorReduction::convertColor(picture, bits, true, false));
        EXPECT_LT(optimised, fixed) << bits << " bits";
    }
}

TEST(ColorReductionTest, FewColoursSurviveExactly)
{
    QImage picture = PixelProbe::filled(20, 20, qRgb(10, 200, 30));
    for (int x = 0; x < 10; ++x)
        picture.setPixel(x, 5, qRgb(250, 5, 90));
    const QImage out = ColorReduction::convertColor(picture, 8, false, true);
    EXPECT_EQ(out.pixel(15, 15), qRgb(10, 200, 30));
    EXPECT_EQ(out.pixel(3, 5), qRgb(250, 5, 90));
    // Sixteen colours at four bits: every one kept, without dithering noise.
    QImage sixteen(16, 4, QImage::Format_RGB888);
    for (int x = 0; x < 16; ++x)
        for (int y = 0; y < 4; ++y)
            sixteen.setPixel(x, y, qRgb(x * 13, 255 - x * 7, (x * 41) % 256));
    const QImage four = ColorReduction::convertColor(sixteen, 4, false, true);
    EXPECT_EQ(PixelProbe::colors(four), PixelProbe::colors(sixteen));
    EXPECT_EQ(four.pixel(9, 2), sixteen.pixel(9, 2));
}
