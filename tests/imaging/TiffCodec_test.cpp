#include "CodecFixtures.h"

#include "imaging/codecs/TiffCodec.h"

#include <QtCore/QTemporaryDir>
#include <gtest/gtest.h>

#include <tiffio.h>

namespace {

// A small strip TIFF written with libtiff itself: 3 samples, or 4 with an unassociated alpha.
QByteArray writeTiff(const QString& path, int width, int height, bool alpha)
{
    TIFF* tif = TIFFOpen(path.toLocal8Bit().constData(), "w");
    EXPECT_TRUE(tif);
    const int samples = alpha ? 4 : 3;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, samples);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    if (alpha) {
        uint16_t kind = EXTRASAMPLE_UNASSALPHA;
        TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, &kind);
    }
    std::vector<uchar> row(size_t(width * samples));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uchar* p = row.data() + x * samples;
            p[0] = uchar(x * 10), p[1] = uchar(y * 20), p[2] = 77;
            if (alpha)
                p[3] = uchar(x == 0 ? 0 : 255);
        }
        TIFFWriteScanline(tif, row.data(), uint32_t(y), 0);
    }
    TIFFClose(tif);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

TEST(TiffCodec, ReadsRgbAndRgba)
{
    QTemporaryDir dir;
    const DecodedImage rgb = TiffCodec::decode(writeTiff(dir.filePath("rgb.tif"), 5, 4, false));
    ASSERT_TRUE(rgb.ok()) << rgb.error.toStdString();
    EXPECT_EQ(rgb.bitCount, 24);
    EXPECT_EQ(rgb.image.format(), QImage::Format_RGB888);
    EXPECT_EQ(rgb.image.size(), QSize(5, 4));
    EXPECT_EQ(rgb.image.pixel(3, 2), qRgb(30, 40, 77));

    const DecodedImage rgba = TiffCodec::decode(writeTiff(dir.filePath("rgba.tif"), 5, 4, true));
    ASSERT_TRUE(rgba.ok()) << rgba.error.toStdString();
    EXPECT_EQ(rgba.bitCount, 32);
    EXPECT_EQ(rgba.image.format(), QImage::Format_ARGB32);
    EXPECT_EQ(qAlpha(rgba.image.pixel(0, 1)), 0);
    EXPECT_EQ(rgba.image.pixel(4, 3), qRgba(40, 60, 77, 255));
}

TEST(TiffCodec, RefusesBrokenFiles)
{
    QTemporaryDir dir;
    const QByteArray file = writeTiff(dir.filePath("t.tif"), 30, 20, false);
    for (int n = 0; n < file.size(); n += 5) {
        const DecodedImage d = TiffCodec::decode(file.left(n));
        EXPECT_NE(d.ok(), !d.error.isEmpty()) << "prefix " << n;
    }
    EXPECT_FALSE(TiffCodec::decode(QByteArray("II*\0", 4)).ok());
    EXPECT_FALSE(TiffCodec::decode(QByteArray("MM\0*\xFF\xFF\xFF\xFF", 8)).ok());
}

} // namespace
