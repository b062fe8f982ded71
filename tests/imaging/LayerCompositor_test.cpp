#include "imaging/drawing/LayerCompositor.h"

#include "support/PixelProbe.h"

#include <gtest/gtest.h>

namespace {

constexpr QRgb kKey = qRgb(254, 254, 254);

} // namespace

TEST(LayerCompositorTest, KeyColourIsSeeThrough)
{
    const QImage base = PixelProbe::filled(10, 10, qRgb(0, 0, 255));
    QImage layer = PixelProbe::filled(10, 10, kKey);
    layer.setPixel(3, 4, qRgb(255, 255, 255)); // the nearest drawn colour to the key stays visible
    layer.setPixel(5, 5, qRgb(255, 0, 0));
    const QImage out = LayerCompositor::layer(base, layer, 0, 0, kKey, 255, Qt::white);
    ASSERT_EQ(out.size(), base.size());
    EXPECT_EQ(out.pixel(3, 4), qRgb(255, 255, 255));
    EXPECT_EQ(out.pixel(5, 5), qRgb(255, 0, 0));
    EXPECT_EQ(PixelProbe::count(out, qRgb(0, 0, 255)), 98);
}

TEST(LayerCompositorTest, LayersStackInOrder)
{
    QImage result = PixelProbe::filled(4, 1, qRgb(0, 0, 0));
    QImage first = PixelProbe::filled(4, 1, kKey);
    first.setPixel(0, 0, qRgb(10, 10, 10));
    first.setPixel(1, 0, qRgb(10, 10, 10));
    QImage second = PixelProbe::filled(4, 1, kKey);
    second.setPixel(1, 0, qRgb(20, 20, 20));
    for (const QImage& layer : {first, second})
        result = LayerCompositor::layer(result, layer, 0, 0, kKey);
    EXPECT_EQ(result.pixel(0, 0), qRgb(10, 10, 10));
    EXPECT_EQ(result.pixel(1, 0), qRgb(20, 20, 20));
    EXPECT_EQ(result.pixel(2, 0), qRgb(0, 0, 0));
}

TEST(LayerCompositorTest, UnclippedOverlayGrowsOntoBackground)
{
    const QImage base = PixelProbe::filled(4, 4, qRgb(0, 0, 255));
    const QImage overlay = PixelProbe::filled(2, 2, qRgb(255, 0, 0));
    const QImage grown = LayerCompositor::layer(base, overlay, -1, 3, kKey, 255, Qt::green);
    ASSERT_EQ(grown.size(), QSize(5, 5));
    EXPECT_EQ(grown.pixel(1, 0), qRgb(0, 0, 255)); // base shifted right by one
    EXPECT_EQ(grown.pixel(0, 0), qRgb(0, 255, 0)); // background where neither lies
    EXPECT_EQ(grown.pixel(0, 4), qRgb(255, 0, 0));
    const QImage clipped = LayerCompositor::layer(base, overlay, -1, 3, kKey, 255, Qt::green, true);
    ASSERT_EQ(clipped.size(), QSize(4, 4));
    EXPECT_EQ(clipped.pixel(0, 3), qRgb(255, 0, 0));
    EXPECT_EQ(clipped.pixel(1, 3), qRgb(0, 0, 255));
}

TEST(LayerCompositorTest, LevelBlendsAndBadInputFails)
{
    const QImage base = PixelProbe::filled(2, 2, qRgb(0, 0, 0));
    const QImage overlay = PixelProbe::filled(2, 2, qRgb(200, 100, 0));
    EXPECT_EQ(LayerCompositor::layer(base, overlay, 0, 0, kKey, 128).pixel(0, 0), qRgb(100, 50, 0));
    QString error;
    EXPECT_TRUE(LayerCompositor::layer(base, overlay, 0, 0, kKey, 300, Qt::white, false, &error).isNull());
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(LayerCompositor::layer(QImage(), overlay, 0, 0, kKey).isNull());
    EXPECT_TRUE(LayerCompositor::layer(base, overlay, INT_MAX - 1, 0, kKey).isNull());
}

TEST(LayerCompositorTest, OverlayOntoAnyTargetFormat)
{
    QImage target = PixelProbe::filled(3, 1, qRgb(0, 0, 255), QImage::Format_RGB32);
    QImage layer = PixelProbe::filled(3, 1, kKey);
    layer.setPixel(1, 0, qRgb(255, 0, 0));
    LayerCompositor::overlayKeyed(target, layer, QPoint(1, 0), true, kKey);
    ASSERT_EQ(target.format(), QImage::Format_RGB888);
    EXPECT_EQ(target.pixel(0, 0), qRgb(0, 0, 255));
    EXPECT_EQ(target.pixel(2, 0), qRgb(255, 0, 0));
}
