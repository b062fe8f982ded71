#include "CodecFixtures.h"

#include "imaging/codecs/BmpCodec.h"

#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <gtest/gtest.h>

#include <climits>

namespace {

const QList<QRgb> fourColours = {qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)};

QByteArray rows(std::initializer_list<std::initializer_list<int>> lines)
{
    QByteArray out;
    for (const auto& line : lines)
        for (int v : line)
            out.append(char(v));
    return out;
}

DecodedImage decodeOk(const QByteArray& file)
{
    DecodedImage d = BmpCodec::decode(file);
    EXPECT_TRUE(d.ok()) << d.error.toStdString();
    return d;
}

TEST(BmpCodec, WritesBottomUp24BitWithPaddingAndReadsItBack)
{
    const QImage picture = CodecFixtures::gradient(37, 23); // 111 bytes a row: one byte of padding
    const std::optional<QByteArray> file = BmpCodec::encode(picture, nullptr);
    ASSERT_TRUE(file);
    ASSERT_EQ(file->size(), 54 + 112 * 23);
    EXPECT_TRUE(file->startsWith("BM"));
    EXPECT_EQ(uchar((*file)[28]), 24);
    EXPECT_EQ(uchar((*file)[25]), 0) << "height must be positive (bottom-up)";
    // First stored pixel is the bottom-left one, in B, G, R order.
    const QRgb bottomLeft = picture.pixel(0, 22);
    EXPECT_EQ(uchar((*file)[54]), qBlue(bottomLeft));
    EXPECT_EQ(uchar((*file)[56]), qRed(bottomLeft));

    const DecodedImage back = decodeOk(*file);
    EXPECT_EQ(back.bitCount, 24);
    EXPECT_EQ(back.image.format(), QImage::Format_RGB888);
    EXPECT_EQ(back.image, picture);
}

TEST(BmpCodec, SwapsRedAndBlueForEveryLengthInPlaceOrNot)
{
    for (int pixels = 0; pixels <= 50; ++pixels) {
        QByteArray source(3 * pixels, Qt::Uninitialized);
        for (int i = 0; i < source.size(); ++i)
            source[i] = char(i * 7 + 1);
        QByteArray expected = source;
        for (int p = 0; p < pixels; ++p)
            std::swap(expected[3 * p], expected[3 * p + 2]);
        QByteArray copy(3 * pixels + 1, 'z'); // one guard byte after the pixels
        BmpCodec::swapRedBlue(reinterpret_cast<const uchar*>(source.constData()), reinterpret_cast<uchar*>(copy.data()),
                              pixels);
        EXPECT_EQ(copy.left(3 * pixels), expected) << pixels;
        EXPECT_EQ(copy.back(), 'z') << pixels;
        BmpCodec::swapRedBlue(reinterpret_cast<const uchar*>(source.constData()),
                              reinterpret_cast<uchar*>(source.data()), pixels);
        EXPECT_EQ(source, expected) << pixels;
    }
}

TEST(BmpCodec, ReadsPlainFilesStraightFromDiskLikeFromMemory)
{
    QTemporaryDir dir;
    QByteArray noFinalPadding;
    for (const int height : {6, 7}) { // a bottom-up file's middle row stays where it is
        const QImage picture = CodecFixtures::gradient(21, height);
        QByteArray topDown = CodecFixtures::bmp(BmpSpec{.width = 21, .height = -height, .bpp = 24});
        for (int y = 0; y < height; ++y) {
            QByteArray row(64, '\0');
            BmpCodec::swapRedBlue(picture.constScanLine(y), reinterpret_cast<uchar*>(row.data()), 21);
            topDown.append(row.left(64));
        }
        noFinalPadding = *BmpCodec::encode(picture, nullptr);
        noFinalPadding.chop(1);
        const std::pair<const char*, QByteArray> files[] = {{"bottom-up", *BmpCodec::encode(picture, nullptr)},
                                                            {"top-down", topDown},
                                                            {"no final padding", noFinalPadding}};
        for (const auto& [what, bytes] : files) {
            QFile file(dir.filePath("p.bmp"));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(bytes);
            file.close();
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            const std::optional<DecodedImage> plain = BmpCodec::readPlain(file);
            ASSERT_TRUE(plain) << what << height;
            ASSERT_TRUE(plain->ok()) << what << height << ": " << plain->error.toStdString();
            EXPECT_EQ(plain->image, picture) << what << height;
            EXPECT_EQ(plain->image, BmpCodec::decode(bytes).image) << what << height;
        }
    }

    QFile truncated(dir.filePath("t.bmp"));
    ASSERT_TRUE(truncated.open(QIODevice::WriteOnly));
    truncated.write(noFinalPadding.left(noFinalPadding.size() - 70));
    truncated.close();
    ASSERT_TRUE(truncated.open(QIODevice::ReadOnly));
    const std::optional<DecodedImage> cut = BmpCodec::readPlain(truncated);
    ASSERT_TRUE(cut);
    EXPECT_FALSE(cut->ok());

    QFile paletted(dir.filePath("8.bmp"));
    ASSERT_TRUE(paletted.open(QIODevice::WriteOnly));
    paletted.write(CodecFixtures::bmp(BmpSpec{.width = 1, .height = 1, .bpp = 8, .pixels = QByteArray(4, '\0')}));
    paletted.close();
    ASSERT_TRUE(paletted.open(QIODevice::ReadOnly));
    EXPECT_FALSE(BmpCodec::readPlain(paletted)) << "left to the general reader";
}

TEST(BmpCodec, ReadsPaletteDepths)
{
    // 1 bit: 10 pixels alternate; rows padded to 4 bytes; bottom row first.
    BmpSpec one{.width = 10, .height = 2, .bpp = 1, .palette = {qRgb(0, 0, 0), qRgb(255, 255, 255)}};
    one.pixels = rows({{0x55, 0x40, 0, 0}, {0xAA, 0x80, 0, 0}});
    DecodedImage d = decodeOk(CodecFixtures::bmp(one));
    EXPECT_EQ(d.bitCount, 1);
    EXPECT_EQ(d.image.pixel(0, 0), qRgb(255, 255, 255)); // top row is the second stored row
    EXPECT_EQ(d.image.pixel(1, 0), qRgb(0, 0, 0));
    EXPECT_EQ(d.image.pixel(9, 1), qRgb(255, 255, 255));

    BmpSpec four{.width = 3, .height = 1, .bpp = 4, .palette = fourColours};
    four.pixels = rows({{0x12, 0x30, 0, 0}});
    d = decodeOk(CodecFixtures::bmp(four));
    EXPECT_EQ(d.bitCount, 4);
    EXPECT_EQ(d.image.pixel(0, 0), fourColours[1]);
    EXPECT_EQ(d.image.pixel(1, 0), fourColours[2]);
    EXPECT_EQ(d.image.pixel(2, 0), fourColours[3]);

    BmpSpec eight{.width = 2, .height = 1, .bpp = 8, .colorsUsed = 4, .palette = fourColours};
    eight.pixels = rows({{3, 2, 0, 0}});
    d = decodeOk(CodecFixtures::bmp(eight));
    EXPECT_EQ(d.bitCount, 8);
    EXPECT_EQ(d.image.pixel(0, 0), fourColours[3]);
}

TEST(BmpCodec, ReadsSixteenAndThirtyTwoBitWithAndWithoutMasks)
{
    BmpSpec rgb555{.width = 2, .height = 1, .bpp = 16};
    rgb555.pixels = rows({{0x00, 0x7C, 0x1F, 0x00}}); // pure red, pure blue
    DecodedImage d = decodeOk(CodecFixtures::bmp(rgb555));
    EXPECT_EQ(d.bitCount, 16);
    EXPECT_EQ(d.image.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(d.image.pixel(1, 0), qRgb(0, 0, 255));

    BmpSpec rgb565{.width = 1, .height = 1, .bpp = 16, .compression = 3, .masks = {0xF800, 0x07E0, 0x001F}};
    rgb565.pixels = rows({{0xE0, 0x07, 0, 0}}); // full green in 6 bits
    d = decodeOk(CodecFixtures::bmp(rgb565));
    EXPECT_EQ(d.image.pixel(0, 0), qRgb(0, 255, 0));

    BmpSpec bgrx{.width = 1, .height = 1, .bpp = 32};
    bgrx.pixels = rows({{10, 20, 30, 99}});
    d = decodeOk(CodecFixtures::bmp(bgrx));
    EXPECT_EQ(d.image.format(), QImage::Format_RGB888) << "plain 32-bit data has no alpha";
    EXPECT_EQ(d.image.pixel(0, 0), qRgb(30, 20, 10));

    BmpSpec argb{.headerSize = 108, .width = 2, .height = 1, .bpp = 32, .compression = 3};
    argb.masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    argb.pixels = rows({{10, 20, 30, 128, 1, 2, 3, 0}});
    d = decodeOk(CodecFixtures::bmp(argb));
    EXPECT_EQ(d.bitCount, 32);
    EXPECT_EQ(d.image.format(), QImage::Format_ARGB32);
    EXPECT_EQ(d.image.pixel(0, 0), qRgba(30, 20, 10, 128));
    EXPECT_EQ(qAlpha(d.image.pixel(1, 0)), 0);
}

TEST(BmpCodec, ReadsTopDownRowsAndTheOs2CoreHeader)
{
    BmpSpec topDown{.width = 1, .height = -2, .bpp = 24};
    topDown.pixels = rows({{0, 0, 255, 0}, {255, 0, 0, 0}});
    DecodedImage d = decodeOk(CodecFixtures::bmp(topDown));
    EXPECT_EQ(d.image.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(d.image.pixel(0, 1), qRgb(0, 0, 255));

    BmpSpec core{.headerSize = 12, .width = 2, .height = 1, .bpp = 8, .palette = fourColours};
    core.pixels = rows({{2, 1, 0, 0}});
    d = decodeOk(CodecFixtures::bmp(core));
    EXPECT_EQ(d.image.pixel(0, 0), fourColours[2]);
    EXPECT_EQ(d.image.pixel(1, 0), fourColours[1]);
}

TEST(BmpCodec, DecodesRunLengthData)
{
    // RLE8, 6 x 3: run, literal (odd length, padded), end of line, delta, end of bitmap.
    BmpSpec rle8{.width = 6, .height = 3, .bpp = 8, .compression = 1, .palette = fourColours};
    rle8.pixels = rows({{3, 1, 0, 3, 2, 3, 2, 0, 0, 0, 0, 2, 1, 1, 2, 2, 0, 1}});
    DecodedImage d = decodeOk(CodecFixtures::bmp(rle8));
    const QImage& img = d.image;
    EXPECT_EQ(img.pixel(0, 2), fourColours[1]); // bottom row
    EXPECT_EQ(img.pixel(2, 2), fourColours[1]);
    EXPECT_EQ(img.pixel(3, 2), fourColours[2]);
    EXPECT_EQ(img.pixel(4, 2), fourColours[3]);
    EXPECT_EQ(img.pixel(5, 2), fourColours[2]);
    EXPECT_EQ(img.pixel(0, 1), qRgb(0, 0, 0)) << "skipped by the delta";
    EXPECT_EQ(img.pixel(1, 0), fourColours[2]) << "after delta (1,1) from the start of row 1";
    EXPECT_EQ(img.pixel(2, 0), fourColours[2]);

    // RLE4: a run of alternating nibbles and a literal of three nibbles (two bytes, no padding needed).
    BmpSpec rle4{.width = 5, .height = 1, .bpp = 4, .compression = 2, .palette = fourColours};
    rle4.pixels = rows({{2, 0x12, 0, 3, 0x32, 0x10, 0, 1}});
    d = decodeOk(CodecFixtures::bmp(rle4));
    EXPECT_EQ(d.image.pixel(0, 0), fourColours[1]);
    EXPECT_EQ(d.image.pixel(1, 0), fourColours[2]);
    EXPECT_EQ(d.image.pixel(2, 0), fourColours[3]);
    EXPECT_EQ(d.image.pixel(4, 0), fourColours[1]);
}

TEST(BmpCodec, ToleratesOddButHarmlessFiles)
{
    // Palette count beyond 2^bits is capped; indices beyond the palette are black.
    BmpSpec capped{.width = 2, .height = 1, .bpp = 8, .colorsUsed = 100000, .palette = fourColours};
    capped.pixels = rows({{1, 200, 0, 0}});
    DecodedImage d = decodeOk(CodecFixtures::bmp(capped));
    EXPECT_EQ(d.image.pixel(0, 0), fourColours[1]);
    EXPECT_EQ(d.image.pixel(1, 0), qRgb(0, 0, 0));

    // Runs that run off the row and deltas that leave the picture are clipped.
    BmpSpec wild{.width = 2, .height = 2, .bpp = 8, .compression = 1, .palette = fourColours};
    wild.pixels = rows({{255, 1, 0, 2, 200, 200, 5, 2}});
    d = decodeOk(CodecFixtures::bmp(wild));
    EXPECT_EQ(d.image.pixel(0, 1), fourColours[1]);
    EXPECT_EQ(d.image.pixel(1, 1), fourColours[1]);
    EXPECT_EQ(d.image.pixel(0, 0), qRgb(0, 0, 0)) << "the run must not wrap into the next row";

    // A missing end-of-bitmap marker is fine once every row has been reached.
    BmpSpec unterminated{.width = 2, .height = 1, .bpp = 8, .compression = 1, .palette = fourColours};
    unterminated.pixels = rows({{2, 3}});
    EXPECT_EQ(decodeOk(CodecFixtures::bmp(unterminated)).image.pixel(1, 0), fourColours[3]);
}

struct BadBmp
{
    const char* what;
    QByteArray file;
};

std::vector<BadBmp> badFiles()
{
    const QByteArray pixels = rows({{1, 2, 3, 0}});
    auto plain = [&](qint32 w, qint32 h, int bpp) {
        return CodecFixtures::bmp(BmpSpec{.width = w, .height = h, .bpp = bpp, .pixels = pixels});
    };
    auto masked = [&](std::vector<quint32> masks) {
        return CodecFixtures::bmp(
            BmpSpec{.width = 1, .height = 1, .bpp = 32, .compression = 3, .masks = masks, .pixels = pixels});
    };
    QByteArray bigPalette = CodecFixtures::bmp(BmpSpec{.width = 1, .height = 1, .bpp = 8, .pixels = pixels});
    bigPalette.truncate(60); // the 256-entry palette the header implies is not there
    QByteArray shortRle = CodecFixtures::bmp(BmpSpec{
        .width = 4, .height = 4, .bpp = 8, .compression = 1, .palette = fourColours, .pixels = rows({{2, 1, 0, 0}})});
    QByteArray badHeaderSize = plain(1, 1, 24);
    CodecFixtures::put32(badHeaderSize, 14, 0xFFFFFFF0);
    return {
        {"zero width", plain(0, 1, 24)},
        {"negative width", plain(-5, 1, 24)},
        {"zero height", plain(1, 0, 24)},
        {"height INT_MIN", plain(1, INT_MIN, 24)},
        {"width x height x 4 beyond 32 bits", plain(0x7FFFFFFF, 0x7FFFFFFF, 32)},
        {"huge picture in a tiny file", plain(20000, 10000, 32)},
        {"depth 7", plain(1, 1, 7)},
        {"palette beyond the file", bigPalette},
        {"zero masks", masked({0, 0, 0})},
        {"overlapping masks", masked({0xFF00, 0x0FF0, 0xFF})},
        {"non-contiguous mask", masked({0xF0F0, 0x0F00, 0xFF})},
        {"bit fields with 8 bits",
         CodecFixtures::bmp(BmpSpec{.width = 1, .height = 1, .bpp = 8, .compression = 3, .masks = {1, 2, 4}})},
        {"RLE stored top-down",
         CodecFixtures::bmp(BmpSpec{.width = 1, .height = -1, .bpp = 8, .compression = 1, .pixels = rows({{0, 1}})})},
        {"RLE ends early", shortRle},
        {"RLE8 on 4-bit data",
         CodecFixtures::bmp(BmpSpec{.width = 1, .height = 1, .bpp = 4, .compression = 1, .pixels = rows({{0, 1}})})},
        {"data offset beyond the file",
         CodecFixtures::bmp(BmpSpec{.width = 1, .height = 1, .pixels = pixels, .dataOffset = 0xFFFFFF00})},
        {"truncated pixel data", plain(4, 4, 24)},
        {"header size beyond the file", badHeaderSize},
        {"only the magic", QByteArray("BM")},
    };
}

TEST(BmpCodec, RefusesMalformedFilesWithAReason)
{
    for (const BadBmp& bad : badFiles()) {
        const DecodedImage d = BmpCodec::decode(bad.file);
        EXPECT_FALSE(d.ok()) << bad.what;
        EXPECT_FALSE(d.error.isEmpty()) << bad.what;
    }
}

TEST(BmpCodec, SurvivesEveryTruncation)
{
    const QByteArray full = *BmpCodec::encode(CodecFixtures::gradient(9, 7), nullptr);
    BmpSpec rle{.width = 6, .height = 3, .bpp = 8, .compression = 1, .palette = fourColours};
    rle.pixels = rows({{3, 1, 0, 3, 2, 3, 2, 0, 0, 0, 0, 2, 1, 1, 2, 2, 0, 1}});
    for (const QByteArray& file : {full, CodecFixtures::bmp(rle)})
        for (int n = 0; n < file.size(); ++n) {
            const DecodedImage d = BmpCodec::decode(file.left(n));
            EXPECT_NE(d.ok(), d.error.size() > 0) << "prefix " << n;
        }
}

} // namespace
