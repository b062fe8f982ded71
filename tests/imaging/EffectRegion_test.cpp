// Behaviour every region effect shares: the region's bounds, degenerate corners, tiny and foreign-format images.
#include "imaging/effects/EffectBlur.h"
#include "imaging/effects/EffectCanvas.h"
#include "imaging/effects/EffectDetail.h"
#include "imaging/effects/EffectDistort.h"
#include "imaging/effects/EffectLens.h"
#include "imaging/effects/EffectMosaic.h"
#include "imaging/effects/EffectNoise.h"
#include "imaging/effects/EffectOilPaint.h"
#include "imaging/effects/EffectRegion.h"
#include "imaging/effects/EffectTone.h"

#include "support/PixelProbe.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>

namespace {

using Effect = std::function<QImage(const QImage&, const EffectCorners&, const EffectCorners&, QString*)>;

struct NamedEffect
{
    const char* name;
    Effect run;
};

// Parameters chosen so that each effect visibly changes a noisy picture.
const std::vector<NamedEffect>& effects()
{
    static const std::vector<NamedEffect> all = {
        {"RGBGamma",
         [](auto& i, auto& x, auto& y, QString* e) { return EffectTone::rgbGamma(i, x, y, .3, .3, .3, e); }},
        {"RGBLevel",
         [](auto& i, auto& x, auto& y, QString* e) { return EffectTone::rgbLevel(i, x, y, 20, -20, 5, e); }},
        {"RemoveNoise",
         [](auto& i, auto& x, auto& y, QString* e) { return EffectNoise::removeNoise(i, x, y, 0, 0, e); }},
        {"AntiAlias", [](auto& i, auto& x, auto& y, QString* e) { return EffectDetail::antiAlias(i, x, y, e); }},
        {"Sharp", [](auto& i, auto& x, auto& y, QString* e) { return EffectDetail::sharp(i, x, y, 50, e); }},
        {"OilPaint", [](auto& i, auto& x, auto& y, QString* e) { return EffectOilPaint::oilPaint(i, x, y, 0, 5, e); }},
        {"Canvas", [](auto& i, auto& x, auto& y, QString* e) { return EffectCanvas::canvas(i, x, y, 0, 40, e); }},
        {"Ripple", [](auto& i, auto& x, auto& y,
                      QString* e) { return EffectDistort::ripple(i, x, y, 3, 10, 0.25, true, true, Qt::black, e); }},
        {"Waves", [](auto& i, auto& x, auto& y,
                     QString* e) { return EffectDistort::waves(i, x, y, 0, 0, 10, 3, 0.25, 1, Qt::black, e); }},
        {"Lens",
         [](auto& i, auto& x, auto& y, QString* e) { return EffectLens::lens(i, x, y, 4.0, false, Qt::black, e); }},
        {"Mosaic", [](auto& i, auto& x, auto& y, QString* e) { return EffectMosaic::mosaic(i, x, y, 4, 4, e); }},
        {"Blur", [](auto& i, auto& x, auto& y, QString* e) { return EffectBlur::blur(i, x, y, 2, e); }},
    };
    return all;
}

// Number of pixels that differ between a and b inside (or, with outside, outside) the rectangle.
int changed(const QImage& a, const QImage& b, const QRect& area, bool outside)
{
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (area.contains(x, y) != outside && a.pixel(x, y) != b.pixel(x, y))
                ++n;
    return n;
}

class EffectRegionTest : public testing::TestWithParam<NamedEffect>
{
};

TEST_P(EffectRegionTest, ChangesOnlyInsideTheRegion)
{
    const QImage input = PixelProbe::noise(40, 30);
    const QImage before = input.copy();
    QString error;
    // Corners in the caller's order: top-left, top-right, bottom-right, bottom-left.
    const QImage out = GetParam().run(input, {5, 24, 24, 5}, {7, 7, 20, 20}, &error);
    ASSERT_FALSE(out.isNull()) << error.toStdString();
    EXPECT_EQ(out.size(), input.size());
    EXPECT_EQ(out.format(), QImage::Format_RGB888);
    const QRect area(QPoint(5, 7), QPoint(24, 20));
    EXPECT_EQ(changed(out, input, area, true), 0);
    EXPECT_GT(changed(out, input, area, false), 0);
    EXPECT_EQ(input, before) << "the input must stay as it was";
}

TEST_P(EffectRegionTest, CornerOrderDoesNotMatter)
{
    const QImage input = PixelProbe::noise(30, 30, 2);
    const QImage forward = GetParam().run(input, {3, 20, 20, 3}, {4, 4, 25, 25}, nullptr);
    const QImage reversed = GetParam().run(input, {20, 3, 3, 20}, {25, 25, 4, 4}, nullptr);
    ASSERT_FALSE(forward.isNull());
    EXPECT_EQ(forward, reversed);
}

TEST_P(EffectRegionTest, RegionPartlyOutsideIsClipped)
{
    const QImage input = PixelProbe::noise(20, 16, 3);
    const QImage out = GetParam().run(input, {-50, 10, 10, -50}, {8, 8, 900, 900}, nullptr);
    ASSERT_FALSE(out.isNull());
    EXPECT_EQ(changed(out, input, QRect(QPoint(0, 8), QPoint(10, 15)), true), 0);
}

TEST_P(EffectRegionTest, RegionMissingTheImageFails)
{
    const QImage input = PixelProbe::noise(20, 16, 4);
    for (const auto& [xs, ys] : std::vector<std::pair<EffectCorners, EffectCorners>>{
             {{20, 30, 30, 20}, {0, 0, 10, 10}}, // right of the image
             {{-9, -1, -1, -9}, {0, 0, 10, 10}}, // left of it
             {{0, 10, 10, 0}, {16, 16, 40, 40}}, // below it
             {{INT_MIN, INT_MIN, INT_MIN, INT_MIN}, {INT_MAX, INT_MAX, INT_MAX, INT_MAX}}}) {
        QString error;
        EXPECT_TRUE(GetParam().run(input, xs, ys, &error).isNull());
        EXPECT_FALSE(error.isEmpty());
    }
}

TEST_P(EffectRegionTest, SinglePointRegionTouchesOnePixelAtMost)
{
    const QImage input = PixelProbe::noise(12, 12, 5);
    const QImage out = GetParam().run(input, {6, 6, 6, 6}, {4, 4, 4, 4}, nullptr);
    ASSERT_FALSE(out.isNull());
    EXPECT_EQ(changed(out, input, QRect(6, 4, 1, 1), true), 0);
}

TEST_P(EffectRegionTest, TinyImagesWork)
{
    for (const QSize size : {QSize(1, 1), QSize(1, 9), QSize(9, 1), QSize(2, 2)}) {
        const QImage input = PixelProbe::noise(size.width(), size.height(), 6);
        const int w = size.width(), h = size.height();
        const QImage out = GetParam().run(input, {0, w, w, 0}, {0, 0, h, h}, nullptr);
        ASSERT_FALSE(out.isNull()) << size.width() << "x" << size.height();
        EXPECT_EQ(out.size(), size);
    }
}

TEST_P(EffectRegionTest, OtherFormatsAndNullImages)
{
    const QImage argb = PixelProbe::noise(16, 16, 7).convertToFormat(QImage::Format_ARGB32);
    const QImage out = GetParam().run(argb, {0, 16, 16, 0}, {0, 0, 16, 16}, nullptr);
    ASSERT_FALSE(out.isNull());
    EXPECT_EQ(out.format(), QImage::Format_RGB888);
    QString error;
    EXPECT_TRUE(GetParam().run(QImage(), {0, 1, 1, 0}, {0, 0, 1, 1}, &error).isNull());
    EXPECT_FALSE(error.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(AllEffects, EffectRegionTest, testing::ValuesIn(effects()),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(EffectRegion, LargeResultsKeepTheOutsideAndBehaveAsOrdinaryImages)
{
    const QImage input = PixelProbe::noise(1500, 1000, 8); // 4.5 MB: the large-buffer path
    const QRect area(QPoint(300, 200), QPoint(1199, 799));
    // A result released first leaves its buffer for the next one, which must not show through.
    EffectTone::rgbLevel(PixelProbe::noise(1500, 1000, 9), {0, 1500, 1500, 0}, {0, 0, 1000, 1000}, 1, 1, 1);
    QImage out = EffectTone::rgbLevel(input, {300, 1199, 1199, 300}, {200, 200, 799, 799}, 40, 40, 40);
    ASSERT_FALSE(out.isNull());
    EXPECT_EQ(changed(out, input, area, true), 0);
    EXPECT_EQ(out.pixel(300, 200),
              EffectTone::rgbLevel(input.copy(300, 200, 1, 1), {0, 1, 1, 0}, {0, 0, 1, 1}, 40, 40, 40).pixel(0, 0));
    // A shared copy detaches on write and leaves the result alone.
    QImage copy = out;
    copy.setPixel(0, 0, qRgb(1, 2, 3));
    EXPECT_NE(copy.pixel(0, 0), out.pixel(0, 0));
    EXPECT_EQ(out.pixel(0, 0), input.pixel(0, 0));
}

TEST(EffectRegion, ClipTakesTheCornersInclusive)
{
    // The whole-picture region names one column and row beyond the image; clipping keeps the image.
    EXPECT_EQ(EffectRegion::clip(QSize(640, 480), {0, 640, 640, 0}, {0, 0, 480, 480}), QRect(0, 0, 640, 480));
    EXPECT_EQ(EffectRegion::clip(QSize(640, 480), {20, 220, 220, 20}, {40, 40, 240, 240}),
              QRect(QPoint(20, 40), QPoint(220, 240)));
    EXPECT_TRUE(EffectRegion::clip(QSize(640, 480), {640, 700, 700, 640}, {0, 0, 10, 10}).isEmpty());
}

TEST(EffectRegion, SetGrayOnTinyAndNullImages)
{
    EXPECT_EQ(EffectTone::setGray(PixelProbe::noise(1, 1)).size(), QSize(1, 1));
    EXPECT_EQ(EffectTone::setGray(PixelProbe::noise(1, 5)).size(), QSize(1, 5));
    QString error;
    EXPECT_TRUE(EffectTone::setGray(QImage(), &error).isNull());
    EXPECT_FALSE(error.isEmpty());
}

} // namespace
