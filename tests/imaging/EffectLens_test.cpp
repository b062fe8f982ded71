// The lens magnifies its centre and leaves its rim and the corners outside it in place.
#include "imaging/effects/EffectLens.h"

#include <gtest/gtest.h>

#include "support/PixelProbe.h"

namespace {

// A 5 x 5 black square in the middle of a white 101 x 81 picture.
QImage dotPicture()
{
    QImage image = PixelProbe::filled(101, 81, qRgb(255, 255, 255));
    for (int y = 38; y <= 42; ++y)
        for (int x = 48; x <= 52; ++x)
            image.setPixel(x, y, qRgb(0, 0, 0));
    return image;
}

int darkPixels(const QImage& image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += qRed(image.pixel(x, y)) < 128;
    return n;
}

const EffectCorners xs{0, 101, 101, 0};
const EffectCorners ys{0, 0, 81, 81};

TEST(EffectLens, MagnifiesTheCentreMoreWithMoreRefraction)
{
    const QImage in = dotPicture();
    EXPECT_EQ(EffectLens::lens(in, xs, ys, 1.0, false), in);
    int last = darkPixels(in);
    for (double refract : {2.0, 4.0, 10.0}) {
        const QImage out = EffectLens::lens(in, xs, ys, refract, false);
        ASSERT_FALSE(out.isNull());
        const int dark = darkPixels(out);
        // Area grows with the square of the magnification, less away from the very centre.
        EXPECT_GT(dark, last) << refract;
        EXPECT_GT(dark, 25 * refract * refract / 4) << refract;
        last = dark;
    }
}

TEST(EffectLens, CornersOutsideTheLensStayOrTakeTheBackground)
{
    QImage in = dotPicture();
    in.setPixel(1, 1, qRgb(10, 200, 30));
    EXPECT_EQ(EffectLens::lens(in, xs, ys, 8.0, false).pixel(1, 1), qRgb(10, 200, 30));
    EXPECT_EQ(EffectLens::lens(in, xs, ys, 8.0, true, QColor(0, 0, 255)).pixel(1, 1), qRgb(0, 0, 255));
}

TEST(EffectLens, RejectsMagnificationOutsideItsRange)
{
    QString error;
    EXPECT_TRUE(EffectLens::lens(dotPicture(), xs, ys, 0.5, false, Qt::black, &error).isNull());
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(EffectLens::lens(dotPicture(), xs, ys, 65.0, false).isNull());
    EXPECT_TRUE(EffectLens::lens(dotPicture(), xs, ys, std::nan(""), false).isNull());
}

} // namespace
