#include "CodecFixtures.h"

#include "imaging/codecs/GifCodec.h"

#include <gtest/gtest.h>

#include <gif_lib.h>

namespace {

QByteArray encodeOk(const QImage& image, const QString& comment = {})
{
    QString error;
    const std::optional<QByteArray> out = GifCodec::encode(image, comment, &error);
    EXPECT_TRUE(out) << error.toStdString();
    return out.value_or(QByteArray());
}

int globalTableBits(const QByteArray& gif)
{
    const int packed = uchar(gif[10]);
    return (packed & 0x80) ? (packed & 7) + 1 : 0;
}

void expectSamePixels(const QImage& decoded, const QImage& source)
{
    ASSERT_EQ(decoded.size(), source.size());
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x)
            ASSERT_EQ(decoded.pixel(x, y), source.pixel(x, y)) << x << "," << y;
}

int appendBytes(GifFileType* gif, const GifByteType* data, int length)
{
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(data), length);
    return length;
}

// A 4 x 3 screen whose 2 x 2 frame at (1, 1) has the transparent index 1 in its top-left pixel.
QByteArray transparentGif()
{
    QByteArray out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, appendBytes, &error);
    GifColorType colours[2] = {{255, 0, 0}, {0, 255, 0}};
    ColorMapObject* map = GifMakeMapObject(2, colours);
    EGifSetGifVersion(gif, true);
    EGifPutScreenDesc(gif, 4, 3, 1, 0, map);
    GraphicsControlBlock gcb{DISPOSAL_UNSPECIFIED, false, 0, 1};
    GifByteType ext[4];
    EGifGCBToExtension(&gcb, ext);
    EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, ext);
    EGifPutImageDesc(gif, 1, 1, 2, 2, false, nullptr);
    GifPixelType rows[2][2] = {{1, 0}, {0, 0}};
    EGifPutLine(gif, rows[0], 2);
    EGifPutLine(gif, rows[1], 2);
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return out;
}

TEST(GifCodec, WritesEightAndFourBitPalettesAndReadsThemBack)
{
    const QImage many = CodecFixtures::indexed(40, 30, 200);
    const QByteArray eight = encodeOk(many);
    EXPECT_TRUE(eight.startsWith("GIF89a"));
    EXPECT_EQ(globalTableBits(eight), 8);
    DecodedImage back = GifCodec::decode(eight);
    ASSERT_TRUE(back.ok()) << back.error.toStdString();
    EXPECT_EQ(back.bitCount, 8);
    EXPECT_EQ(back.image.format(), QImage::Format_RGB888);
    expectSamePixels(back.image, many);

    const QImage few = CodecFixtures::indexed(13, 7, 16);
    const QByteArray four = encodeOk(few);
    EXPECT_EQ(globalTableBits(four), 4);
    back = GifCodec::decode(four);
    ASSERT_TRUE(back.ok()) << back.error.toStdString();
    EXPECT_EQ(back.bitCount, 4);
    expectSamePixels(back.image, few);
}

TEST(GifCodec, WidensTheTableForIndicesBeyondThePalette)
{
    QImage image = CodecFixtures::indexed(4, 4, 16);
    image.setColorCount(3); // pixels still use indices up to 15
    const QByteArray file = encodeOk(image);
    EXPECT_EQ(globalTableBits(file), 4);
    EXPECT_TRUE(GifCodec::decode(file).ok());
}

TEST(GifCodec, StoresTheCommentInACommentExtension)
{
    const QByteArray file = encodeOk(CodecFixtures::indexed(5, 5, 16), "Powered by Lumivane");
    EXPECT_TRUE(file.contains(QByteArray("\x21\xFE\x13Powered by Lumivane\0", 23)));
    EXPECT_FALSE(encodeOk(CodecFixtures::indexed(5, 5, 16)).contains("\x21\xFE"));
}

TEST(GifCodec, ConvertsTrueColourInputToAPalette)
{
    const QImage picture = CodecFixtures::gradient(16, 16);
    const DecodedImage back = GifCodec::decode(encodeOk(picture));
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(back.image.size(), picture.size());
}

TEST(GifCodec, ReadsTransparencyAndAFrameSmallerThanTheScreen)
{
    const DecodedImage d = GifCodec::decode(transparentGif());
    ASSERT_TRUE(d.ok()) << d.error.toStdString();
    EXPECT_EQ(d.image.size(), QSize(4, 3));
    EXPECT_EQ(d.image.format(), QImage::Format_ARGB32);
    EXPECT_EQ(d.bitCount, 32);
    EXPECT_EQ(qAlpha(d.image.pixel(0, 0)), 0) << "outside the frame";
    EXPECT_EQ(qAlpha(d.image.pixel(1, 1)), 0) << "transparent index";
    EXPECT_EQ(d.image.pixel(2, 1), qRgb(255, 0, 0));
    EXPECT_EQ(d.image.pixel(2, 2), qRgb(255, 0, 0));
}

TEST(GifCodec, RefusesBrokenFiles)
{
    const QByteArray file = encodeOk(CodecFixtures::indexed(20, 20, 64), "comment");
    for (int n = 0; n < file.size() - 1; ++n) { // without the last data the frame is incomplete
        const DecodedImage d = GifCodec::decode(file.left(n));
        EXPECT_NE(d.ok(), !d.error.isEmpty()) << "prefix " << n;
    }
    EXPECT_FALSE(GifCodec::decode(QByteArray("GIF89a")).ok());
    QByteArray huge = file;
    huge[6] = char(0xFF), huge[7] = char(0xFF), huge[8] = char(0xFF), huge[9] = char(0xFF);
    const DecodedImage d = GifCodec::decode(huge);
    EXPECT_FALSE(d.ok());
    EXPECT_TRUE(d.error.contains("limit")) << d.error.toStdString();
}

} // namespace
