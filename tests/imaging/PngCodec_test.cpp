#include "CodecFixtures.h"

#include "imaging/codecs/PngCodec.h"

#include <QtCore/QBuffer>
#include <gtest/gtest.h>

#include <zlib.h>

namespace {

QByteArray encodeOk(const QImage& image, const QString& comment = {})
{
    QString error;
    const std::optional<QByteArray> out = PngCodec::encode(image, comment, &error);
    EXPECT_TRUE(out) << error.toStdString();
    return out.value_or(QByteArray());
}

QByteArray viaQt(const QImage& image)
{
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, "PNG"));
    return out;
}

// IHDR bit depth and colour type.
std::pair<int, int> depthAndType(const QByteArray& png)
{
    const std::optional<QByteArray> ihdr = CodecFixtures::pngChunk(png, "IHDR");
    return ihdr && ihdr->size() == 13 ? std::pair{int(uchar((*ihdr)[8])), int(uchar((*ihdr)[9]))} : std::pair{-1, -1};
}

// Every pixel equals the palette colour of the source picture.
void expectSamePixels(const QImage& decoded, const QImage& source)
{
    ASSERT_EQ(decoded.size(), source.size());
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x)
            ASSERT_EQ(decoded.pixel(x, y), source.pixel(x, y)) << x << "," << y;
}

TEST(PngCodec, WritesTwentyFourBitRgbAndReadsItBack)
{
    const QImage picture = CodecFixtures::gradient(31, 17);
    const QByteArray file = encodeOk(picture);
    EXPECT_EQ(depthAndType(file), std::pair(8, 2));
    const DecodedImage back = PngCodec::decode(file);
    ASSERT_TRUE(back.ok()) << back.error.toStdString();
    EXPECT_EQ(back.bitCount, 24);
    EXPECT_EQ(back.image.format(), QImage::Format_RGB888);
    EXPECT_EQ(back.image, picture);
}

TEST(PngCodec, WritesPaletteImagesAtTheirTrueDepth)
{
    const QImage many = CodecFixtures::indexed(33, 9, 100);
    const QByteArray eight = encodeOk(many);
    EXPECT_EQ(depthAndType(eight), std::pair(8, 3));
    DecodedImage back = PngCodec::decode(eight);
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(back.bitCount, 8);
    expectSamePixels(back.image, many);

    const QImage few = CodecFixtures::indexed(7, 5, 16); // odd width: the last byte holds one pixel
    const QByteArray four = encodeOk(few);
    EXPECT_EQ(depthAndType(four), std::pair(4, 3));
    EXPECT_EQ(CodecFixtures::pngChunk(four, "PLTE")->size(), 16 * 3);
    back = PngCodec::decode(four);
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(back.bitCount, 4);
    expectSamePixels(back.image, few);
}

TEST(PngCodec, StoresTheCommentAsText)
{
    const QByteArray file = encodeOk(CodecFixtures::indexed(4, 4, 16), "Powered by Pictorel");
    EXPECT_EQ(CodecFixtures::pngChunk(file, "tEXt"), QByteArray("Comment\0Powered by Pictorel", 27));
    EXPECT_FALSE(CodecFixtures::pngChunk(encodeOk(CodecFixtures::gradient(2, 2)), "tEXt"));
    const QByteArray international = encodeOk(CodecFixtures::gradient(2, 2), QStringLiteral("画像"));
    const std::optional<QByteArray> itxt = CodecFixtures::pngChunk(international, "iTXt");
    ASSERT_TRUE(itxt);
    EXPECT_TRUE(itxt->endsWith(QStringLiteral("画像").toUtf8()));
}

TEST(PngCodec, ReadsAlphaSixteenBitGreyAndOneBit)
{
    QImage alpha(3, 2, QImage::Format_ARGB32);
    alpha.fill(qRgba(10, 20, 30, 255));
    alpha.setPixel(1, 1, qRgba(200, 100, 50, 0x80));
    DecodedImage d = PngCodec::decode(viaQt(alpha));
    ASSERT_TRUE(d.ok()) << d.error.toStdString();
    EXPECT_EQ(d.bitCount, 32);
    EXPECT_EQ(d.image.format(), QImage::Format_ARGB32);
    EXPECT_EQ(d.image.pixel(1, 1), qRgba(200, 100, 50, 0x80));
    EXPECT_EQ(d.image.pixel(0, 0), qRgba(10, 20, 30, 255));

    QImage grey16(2, 1, QImage::Format_Grayscale16);
    reinterpret_cast<quint16*>(grey16.scanLine(0))[0] = 0xFFFF;
    reinterpret_cast<quint16*>(grey16.scanLine(0))[1] = 0x8080;
    const QByteArray greyFile = viaQt(grey16);
    ASSERT_EQ(depthAndType(greyFile), std::pair(16, 0));
    d = PngCodec::decode(greyFile);
    ASSERT_TRUE(d.ok()) << d.error.toStdString();
    EXPECT_EQ(d.bitCount, 16);
    EXPECT_EQ(d.image.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(d.image.pixel(1, 0), qRgb(128, 128, 128));

    QImage mono(9, 1, QImage::Format_Mono);
    mono.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    mono.fill(0);
    mono.setPixel(8, 0, 1);
    d = PngCodec::decode(viaQt(mono));
    ASSERT_TRUE(d.ok()) << d.error.toStdString();
    EXPECT_EQ(d.bitCount, 1);
    EXPECT_EQ(d.image.pixel(8, 0), qRgb(255, 255, 255));
    EXPECT_EQ(d.image.pixel(7, 0), qRgb(0, 0, 0));
}

TEST(PngCodec, RefusesBrokenAndOversizedFiles)
{
    const QByteArray file = encodeOk(CodecFixtures::gradient(20, 20), "comment");
    for (int n = 0; n < file.size(); n += 2) {
        const DecodedImage d = PngCodec::decode(file.left(n));
        EXPECT_NE(d.ok(), !d.error.isEmpty()) << "prefix " << n;
        if (n < file.size() - 24) { // the rows are complete only near the end
            EXPECT_FALSE(d.ok()) << "prefix " << n;
        }
    }
    QByteArray corrupt = file;
    corrupt[40] = char(corrupt[40] ^ 0x55);
    EXPECT_FALSE(PngCodec::decode(corrupt).ok());

    // A valid IHDR (with its CRC) announcing 25000 x 25000: within a side, beyond the pixel limit.
    QByteArray huge = file;
    for (int i = 0; i < 2; ++i) {
        huge[16 + 4 * i] = 0, huge[17 + 4 * i] = 0, huge[18 + 4 * i] = char(25000 >> 8),
                      huge[19 + 4 * i] = char(25000 & 0xFF);
    }
    const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(huge.constData() + 12), 17);
    for (int i = 0; i < 4; ++i)
        huge[29 + i] = char((crc >> (24 - 8 * i)) & 0xFF);
    const DecodedImage d = PngCodec::decode(huge);
    EXPECT_FALSE(d.ok());
    EXPECT_TRUE(d.error.contains("limit")) << d.error.toStdString();
}

} // namespace
