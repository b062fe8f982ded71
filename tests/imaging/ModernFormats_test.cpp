// HEIC, AVIF, WebP and JPEG XL read through ImageFile as the same picture as a PNG of it; their
// orientation as the file states it; hostile files refused before their pixels are decoded.
#include "CodecFixtures.h"
#include "ModernEncoders.h"

#include "imaging/codecs/ImageFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

namespace {

struct Difference
{
    double mean = 0;
    int largest = 0;
};

Difference compare(const QImage& a, const QImage& b)
{
    Difference d;
    const QImage x = a.convertToFormat(QImage::Format_RGB888), y = b.convertToFormat(QImage::Format_RGB888);
    qint64 total = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int i = 0; i < x.width() * 3; ++i) {
            const int delta = std::abs(int(x.constScanLine(row)[i]) - int(y.constScanLine(row)[i]));
            total += delta;
            d.largest = std::max(d.largest, delta);
        }
    d.mean = double(total) / (double(x.width()) * x.height() * 3);
    return d;
}

struct Encoded
{
    const char* name;
    std::function<QByteArray(const QImage&, int orientation)> encode;
    double meanTolerance; // the codec's loss at the quality the fixtures use; 0 for lossless
    int largestTolerance;
};

const std::vector<Encoded>& formats()
{
    static const std::vector<Encoded> all = {
        {"HEIC", [](const QImage& p, int o) { return ModernEncoders::heif(p, HeifKind::Heic, {}, o); }, 3.0, 40},
        {"AVIF", [](const QImage& p, int o) { return ModernEncoders::heif(p, HeifKind::Avif, {}, o); }, 3.0, 40},
        {"WebP lossless", [](const QImage& p, int o) { return ModernEncoders::webp(p, true, {}, o); }, 0, 0},
        {"WebP lossy", [](const QImage& p, int o) { return ModernEncoders::webp(p, false, {}, o); }, 3.0, 40},
        {"JPEG XL lossless", [](const QImage& p, int o) { return ModernEncoders::jxl(p, true, {}, o); }, 0, 0},
        {"JPEG XL lossy", [](const QImage& p, int o) { return ModernEncoders::jxl(p, false, {}, o); }, 3.0, 40},
    };
    return all;
}

TEST(ModernFormats, LoadTheSamePictureAsThePngOriginal)
{
    const QImage picture = CodecFixtures::gradient(96, 64);
    const DecodedImage original = ImageFile::decode(*ImageFile::encode(picture, FileFormat::Png, EncodeOptions{}));
    ASSERT_TRUE(original.ok());
    for (const Encoded& format : formats()) {
        SCOPED_TRACE(format.name);
        const DecodedImage decoded = ImageFile::decode(format.encode(picture, 1));
        ASSERT_TRUE(decoded.ok()) << decoded.error.toStdString();
        EXPECT_EQ(decoded.bitCount, 24);
        ASSERT_EQ(decoded.image.size(), original.image.size());
        const Difference d = compare(decoded.image, original.image);
        EXPECT_LE(d.mean, format.meanTolerance);
        EXPECT_LE(d.largest, format.largestTolerance);
    }
}

// A picture whose top-left quarter is red, everything else blue: where the red ends up tells the turn.
QImage marked()
{
    QImage picture(64, 32, QImage::Format_RGB888);
    picture.fill(Qt::blue);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x)
            picture.setPixel(x, y, qRgb(255, 0, 0));
    return picture;
}

bool reddish(QRgb c)
{
    return qRed(c) > 200 && qBlue(c) < 60;
}

TEST(ModernFormats, TurnUprightAsTheFileStates)
{
    // EXIF orientation: 3 turns half round, 6 a quarter clockwise, 8 a quarter anticlockwise.
    struct Turn
    {
        int orientation;
        QSize size;
        QPoint red; // a point inside where the red quarter lands
        QPoint blue;
    };
    const Turn turns[] = {
        {3, {64, 32}, {56, 28}, {8, 4}}, {6, {32, 64}, {28, 8}, {4, 56}}, {8, {32, 64}, {4, 56}, {28, 8}}};
    for (const Encoded& format : formats()) {
        for (const Turn& turn : turns) {
            SCOPED_TRACE(testing::Message() << format.name << " orientation " << turn.orientation);
            const DecodedImage decoded = ImageFile::decode(format.encode(marked(), turn.orientation));
            ASSERT_TRUE(decoded.ok()) << decoded.error.toStdString();
            EXPECT_EQ(decoded.image.size(), turn.size);
            EXPECT_TRUE(reddish(decoded.image.pixel(turn.red)));
            EXPECT_FALSE(reddish(decoded.image.pixel(turn.blue)));
        }
    }
}

// A JPEG XL codestream header declaring a square picture `side` pixels high and wide, and nothing more.
QByteArray jxlDeclaring(quint32 side)
{
    std::vector<bool> bits;
    const auto put = [&bits](quint32 value, int count) {
        for (int i = 0; i < count; ++i)
            bits.push_back((value >> i) & 1);
    };
    put(0, 1); // not a multiple of 8
    put(3, 2); // height - 1 in 30 bits
    put(side - 1, 30);
    put(1, 3); // aspect ratio 1:1
    put(1, 1); // default metadata
    QByteArray file("\xFF\x0A", 2);
    for (size_t i = 0; i < bits.size(); i += 8) {
        char byte = 0;
        for (size_t b = 0; b < 8 && i + b < bits.size(); ++b)
            byte = char(byte | (bits[i + b] << b));
        file += byte;
    }
    return file + QByteArray(64, '\0');
}

// A lossless WebP header declaring the largest size the format allows: 16384 x 16384.
QByteArray webpDeclaringLargest()
{
    QByteArray file("RIFF\0\0\0\0WEBPVP8L\0\0\0\0\x2F", 21);
    file += QByteArray("\xFF\xFF\xFF\x0F", 4); // 14 bits width - 1, 14 bits height - 1, alpha 0, version 0
    file += QByteArray(64, '\0');
    CodecFixtures::put32(file, 4, quint32(file.size() - 8));
    CodecFixtures::put32(file, 16, quint32(file.size() - 20));
    return file;
}

// A HEIC whose 'ispe' properties claim `side` x `side` pixels for its few bytes of picture.
QByteArray heicDeclaring(quint32 side)
{
    QByteArray file = ModernEncoders::heif(CodecFixtures::gradient(64, 48), HeifKind::Heic);
    qsizetype ispe = file.indexOf("ispe");
    EXPECT_GT(ispe, 0);
    for (; ispe > 0; ispe = file.indexOf("ispe", ispe + 4))
        for (int i = 0; i < 4; ++i) {
            file[ispe + 8 + i] = char(side >> (24 - 8 * i));
            file[ispe + 12 + i] = char(side >> (24 - 8 * i));
        }
    return file;
}

TEST(ModernFormats, HostileFilesAreRefusedBeforeTheirPixelsAreDecoded)
{
    const QImage picture = CodecFixtures::gradient(96, 64);
    struct Hostile
    {
        const char* name;
        QByteArray bytes;
        const char* reason; // part of the refusal; empty for any reason
    };
    std::vector<Hostile> hostile = {
        {"JPEG XL declaring 100000 x 100000", jxlDeclaring(100000), "exceeds the limit"},
        {"JPEG XL declaring 20000 x 20000", jxlDeclaring(20000), "exceeds the limit"},
        {"WebP declaring 16384 x 16384", webpDeclaringLargest(), "exceeds the limit"},
        {"HEIC declaring 20000 x 20000", heicDeclaring(20000), "exceeds the limit"},
        {"HEIC declaring 4 billion a side", heicDeclaring(0xFFFFFFFF), ""},
    };
    for (const Encoded& format : formats()) {
        const QByteArray whole = format.encode(picture, 1);
        for (const qsizetype kept : {qsizetype(12), qsizetype(40), whole.size() / 2, whole.size() - 1})
            hostile.push_back({format.name, whole.left(kept), ""});
    }
    for (const Hostile& file : hostile) {
        SCOPED_TRACE(testing::Message() << file.name << ", " << file.bytes.size() << " bytes");
        const DecodedImage decoded = ImageFile::decode(file.bytes);
        EXPECT_FALSE(decoded.ok());
        EXPECT_TRUE(decoded.image.isNull());
        EXPECT_FALSE(decoded.error.isEmpty());
        EXPECT_TRUE(decoded.error.contains(QLatin1String(file.reason))) << decoded.error.toStdString();
    }
}

} // namespace
