#include "imaging/codecs/ImageFile.h"
#include "imaging/codecs/JpegSizeFloor.h"

#include "support/PixelProbe.h"

#include <gtest/gtest.h>

namespace {

using PixelProbe::photo;

// The floors model the system libjpeg's arithmetic. A library update that changes it makes the
// self-check refuse: the floors are then 0 and every quality is really encoded, which is slower but
// still right, so there is nothing left here to prove.
constexpr const char* kOtherArithmetic =
    "the system libjpeg no longer computes what the size-floor model does; the floors stay off";

QByteArray jpeg(const QImage& image, int quality, int subsampling = 2, const QString& comment = {})
{
    return *ImageFile::encode(image, FileFormat::Jpeg, EncodeOptions{quality, subsampling, comment});
}

// The floor must never exceed the real size, and must be close to it, or the search is wrong or slow.
TEST(JpegSizeFloor, IsBelowButNearTheRealSizeAtEveryQuality)
{
    // Sizes with padding blocks at the right, at the bottom, and chroma rows repeated below the picture.
    for (const QImage& image :
         {photo(480, 480, 18), photo(176, 220, 19), photo(37, 23, 20), photo(50, 34, 24), photo(8, 8, 21)}) {
        const QByteArray top = jpeg(image, 100, 2, QStringLiteral("c"));
        JpegSizeFloor floor(image), cutShort(image);
        if (!floor.check(top))
            GTEST_SKIP() << kOtherArithmetic << " (" << image.width() << "x" << image.height() << ")";
        ASSERT_TRUE(cutShort.check(top));
        for (int q = 100; q >= 1; --q) {
            const qint64 real = jpeg(image, q, 2, QStringLiteral("c")).size();
            EXPECT_LE(floor.floor(q), real) << "quality " << q;
            EXPECT_GE(floor.floor(q), real * 97 / 100) << "quality " << q;
            // Counting that may stop early proves nothing that is not so either.
            EXPECT_FALSE(cutShort.exceeds(q, real)) << "quality " << q;
        }
    }
}

TEST(JpegSizeFloor, GivesUpWhenARealFileComesOutBelowItsFloor)
{
    const QImage image = photo(64, 64, 26);
    JpegSizeFloor floor(image);
    if (!floor.check(jpeg(image, 100)))
        GTEST_SKIP() << kOtherArithmetic;
    const qint64 at50 = floor.floor(50);
    EXPECT_TRUE(floor.agrees(50, at50));
    EXPECT_TRUE(floor.exceeds(50, at50 - 1));
    EXPECT_FALSE(floor.agrees(50, at50 - 1));
    EXPECT_FALSE(floor.valid());
    EXPECT_FALSE(floor.exceeds(40, 1)); // nothing is ruled out any more
    EXPECT_TRUE(floor.agrees(50, at50 - 1));
}

TEST(JpegSizeFloor, RefusesAFileItCannotExplain)
{
    const QImage image = photo(64, 64, 22);
    JpegSizeFloor floor(image);
    EXPECT_FALSE(floor.check(jpeg(photo(64, 64, 23), 100)));
    EXPECT_EQ(floor.floor(50), 0);
    EXPECT_FALSE(floor.exceeds(50, 256));
    EXPECT_FALSE(floor.check(jpeg(image, 100, 0)));
    if (!floor.check(jpeg(image, 100)))
        GTEST_SKIP() << kOtherArithmetic;

    // Finished in the background, while exceeds() counts: still nothing is proven from a file whose
    // markers fit but whose coefficients do not (one pixel differs).
    QImage touched = image;
    touched.setPixelColor(10, 10, Qt::red);
    for (const auto& [file, holds] : {std::pair{jpeg(touched, 100), false}, std::pair{jpeg(image, 100), true}}) {
        JpegSizeFloor later(image);
        later.startCheck(file);
        EXPECT_EQ(later.exceeds(50, 256, 40), holds);
        EXPECT_EQ(later.valid(), holds);
    }
}

} // namespace
