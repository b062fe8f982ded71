#include "CodecFixtures.h"

#include "imaging/codecs/PcxCodec.h"

#include <gtest/gtest.h>

namespace {

const QList<QRgb> sixteen = [] {
    QList<QRgb> p;
    for (int i = 0; i < 16; ++i)
        p.append(qRgb(i * 16, 255 - i * 16, i * 8));
    return p;
}();

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

DecodedImage decodeOk(const PcxSpec& layout)
{
    DecodedImage d = PcxCodec::decode(CodecFixtures::pcx(layout));
    EXPECT_TRUE(d.ok()) << d.error.toStdString();
    return d;
}

TEST(PcxCodec, ReadsEightBitWithTheTrailingPalette)
{
    QList<QRgb> palette(256, qRgb(1, 2, 3));
    palette[7] = qRgb(200, 100, 50);
    palette[0xC5] = qRgb(9, 8, 7);
    // Row of 3 pixels in a 4-byte line: a run of two 7s, then 0xC5, which must be escaped as a run of one.
    const PcxSpec layout{.width = 3,
                         .height = 2,
                         .bytesPerLine = 4,
                         .data = CodecFixtures::pcxRle(bytes({7, 7, 0xC5, 0, 0xC5, 7, 7, 0})),
                         .tailPalette = palette};
    const DecodedImage d = decodeOk(layout);
    EXPECT_EQ(d.bitCount, 8);
    EXPECT_EQ(d.image.format(), QImage::Format_RGB888);
    EXPECT_EQ(d.image.pixel(0, 0), qRgb(200, 100, 50));
    EXPECT_EQ(d.image.pixel(2, 0), qRgb(9, 8, 7));
    EXPECT_EQ(d.image.pixel(0, 1), qRgb(9, 8, 7));
    EXPECT_EQ(d.image.pixel(2, 1), qRgb(200, 100, 50));
}

TEST(PcxCodec, ReadsTwentyFourBitAsThreePlanes)
{
    // One line: red plane, green plane, blue plane; a run crosses from one line into the next.
    const PcxSpec layout{.width = 2,
                         .height = 2,
                         .planes = 3,
                         .bytesPerLine = 2,
                         .data = bytes({0xC2, 255, 0, 10, 0xC3, 20, 0xC1, 255, 0xC4, 30})};
    const DecodedImage d = decodeOk(layout);
    EXPECT_EQ(d.bitCount, 24);
    EXPECT_EQ(d.image.pixel(0, 0), qRgb(255, 0, 20));
    EXPECT_EQ(d.image.pixel(1, 0), qRgb(255, 10, 20));
    EXPECT_EQ(d.image.pixel(0, 1), qRgb(20, 30, 30));
    EXPECT_EQ(d.image.pixel(1, 1), qRgb(255, 30, 30));
}

TEST(PcxCodec, ReadsFourBitPackedAndPlanarAndOneBit)
{
    const PcxSpec packed{.width = 3,
                         .height = 1,
                         .bitsPerPlane = 4,
                         .bytesPerLine = 2,
                         .encoding = 0,
                         .headerPalette = sixteen,
                         .data = bytes({0x1F, 0x80})};
    DecodedImage d = decodeOk(packed);
    EXPECT_EQ(d.bitCount, 4);
    EXPECT_EQ(d.image.pixel(0, 0), sixteen[1]);
    EXPECT_EQ(d.image.pixel(1, 0), sixteen[15]);
    EXPECT_EQ(d.image.pixel(2, 0), sixteen[8]);

    // Four one-bit planes: pixel 0 has bits 1,0,1,1 in planes 0..3 -> index 13; pixel 1 only plane 1 -> 2.
    const PcxSpec planar{.width = 2,
                         .height = 1,
                         .bitsPerPlane = 1,
                         .planes = 4,
                         .bytesPerLine = 2,
                         .encoding = 0,
                         .headerPalette = sixteen,
                         .data = bytes({0x80, 0, 0x40, 0, 0x80, 0, 0x80, 0})};
    d = decodeOk(planar);
    EXPECT_EQ(d.bitCount, 4);
    EXPECT_EQ(d.image.pixel(0, 0), sixteen[13]);
    EXPECT_EQ(d.image.pixel(1, 0), sixteen[2]);

    const PcxSpec mono{
        .width = 9, .height = 1, .bitsPerPlane = 1, .bytesPerLine = 2, .encoding = 0, .data = bytes({0x80, 0x80})};
    d = decodeOk(mono);
    EXPECT_EQ(d.bitCount, 1);
    EXPECT_EQ(d.image.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(d.image.pixel(1, 0), qRgb(0, 0, 0));
    EXPECT_EQ(d.image.pixel(8, 0), qRgb(255, 255, 255));
}

TEST(PcxCodec, ReadsThreeOneBitPlanesAsEightColours)
{
    // Found by fuzzing: three planes of one bit once took the 24-bit path and read past the line.
    const PcxSpec layout{.width = 9,
                         .height = 1,
                         .bitsPerPlane = 1,
                         .planes = 3,
                         .bytesPerLine = 2,
                         .encoding = 0,
                         .headerPalette = sixteen,
                         .data = bytes({0x80, 0x80, 0x00, 0x80, 0x80, 0x00})};
    const DecodedImage d = decodeOk(layout);
    EXPECT_EQ(d.bitCount, 3);
    EXPECT_EQ(d.image.pixel(0, 0), sixteen[5]);
    EXPECT_EQ(d.image.pixel(8, 0), sixteen[3]);
    EXPECT_EQ(d.image.pixel(4, 0), sixteen[0]);
}

TEST(PcxCodec, AcceptsAnOddLineLengthThatCoversTheRow)
{
    const PcxSpec odd{.width = 3, .height = 2, .bytesPerLine = 3, .encoding = 0, .data = bytes({1, 2, 3, 4, 5, 6})};
    const DecodedImage d = decodeOk(odd);
    EXPECT_EQ(d.image.pixel(0, 1), qRgb(4, 4, 4)) << "no trailing palette: grey levels";
}

TEST(PcxCodec, RefusesMalformedFilesWithAReason)
{
    const QByteArray some = bytes({1, 2, 3, 4, 5, 6, 7, 8});
    const std::vector<std::pair<const char*, PcxSpec>> bad = {
        {"line shorter than the row", {.width = 9, .height = 1, .bytesPerLine = 8, .data = some}},
        {"zero planes", {.width = 1, .height = 1, .planes = 0, .bytesPerLine = 2, .data = some}},
        {"five one-bit planes",
         {.width = 1, .height = 1, .bitsPerPlane = 1, .planes = 5, .bytesPerLine = 2, .data = some}},
        {"two eight-bit planes", {.width = 1, .height = 1, .planes = 2, .bytesPerLine = 2, .data = some}},
        {"three-bit pixels", {.width = 1, .height = 1, .bitsPerPlane = 3, .bytesPerLine = 2, .data = some}},
        {"truncated data", {.width = 4, .height = 4, .bytesPerLine = 4, .encoding = 0, .data = some}},
        {"run cut off at the end", {.width = 4, .height = 1, .bytesPerLine = 4, .data = bytes({0xC2})}},
    };
    for (const auto& [what, layout] : bad) {
        const DecodedImage d = PcxCodec::decode(CodecFixtures::pcx(layout));
        EXPECT_FALSE(d.ok()) << what;
        EXPECT_FALSE(d.error.isEmpty()) << what;
    }
    QByteArray reversed = CodecFixtures::pcx({.width = 2, .height = 2, .bytesPerLine = 2, .data = some});
    CodecFixtures::put16(reversed, 4, 100); // xMin beyond xMax
    EXPECT_FALSE(PcxCodec::decode(reversed).ok());
    QByteArray huge = CodecFixtures::pcx({.width = 2, .height = 2, .bytesPerLine = 2, .data = some});
    CodecFixtures::put16(huge, 8, 0xFFFF), CodecFixtures::put16(huge, 10, 0xFFFF);
    EXPECT_FALSE(PcxCodec::decode(huge).ok()) << "65536 x 65536 is beyond the size limit";
    EXPECT_FALSE(PcxCodec::decode(QByteArray("\x0A\x05\x01\x08", 4)).ok());
}

TEST(PcxCodec, SurvivesEveryTruncation)
{
    const PcxSpec layout{.width = 5,
                         .height = 3,
                         .bytesPerLine = 6,
                         .data = CodecFixtures::pcxRle(QByteArray(18, char(0xD0))),
                         .tailPalette = sixteen};
    const QByteArray file = CodecFixtures::pcx(layout);
    for (int n = 0; n < file.size(); ++n) {
        const DecodedImage d = PcxCodec::decode(file.left(n));
        EXPECT_NE(d.ok(), d.error.size() > 0) << "prefix " << n;
    }
}

} // namespace
