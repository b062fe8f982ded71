#include "CodecFixtures.h"

#include "imaging/codecs/JpegCodec.h"
#include "imaging/codecs/JpegDataBudget.h"

#include <QtCore/QBuffer>
#include <QtGui/QImageWriter>
#include <gtest/gtest.h>

#include <cstdio>

#include <jpeglib.h>

namespace {

double meanDifference(const QImage& a, const QImage& b)
{
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * a.width() * a.height());
}

bool near(QRgb a, QRgb b, int tolerance = 24)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

QByteArray encodeOk(const QImage& image, EncodeOptions options = {})
{
    QString error;
    const std::optional<QByteArray> out = JpegCodec::encode(image, options, &error);
    EXPECT_TRUE(out) << error.toStdString();
    return out.value_or(QByteArray());
}

QByteArray viaQt(const QImage& image, bool progressive)
{
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setProgressiveScanWrite(progressive);
    EXPECT_TRUE(writer.write(image)) << writer.errorString().toStdString();
    return out;
}

// A one-colour CMYK JPEG written with libjpeg itself; with the Adobe marker the inks are stored inverted.
QByteArray cmykJpeg(const uchar cmyk[4], bool adobe)
{
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = 16, cinfo.image_height = 16, cinfo.input_components = 4, cinfo.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&cinfo);
    cinfo.write_Adobe_marker = adobe;
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<uchar> row(16 * 4);
    for (int x = 0; x < 16; ++x)
        std::copy(cmyk, cmyk + 4, row.begin() + 4 * x);
    while (cinfo.next_scanline < 16) {
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&cinfo, &r, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    QByteArray out(reinterpret_cast<const char*>(buffer), int(size));
    std::free(buffer);
    return out;
}

TEST(JpegCodec, RoundTripKeepsSizeAndColours)
{
    const QImage picture = CodecFixtures::gradient(67, 45);
    const DecodedImage back = JpegCodec::decode(encodeOk(picture, {.jpegQuality = 95}));
    ASSERT_TRUE(back.ok()) << back.error.toStdString();
    EXPECT_EQ(back.image.size(), picture.size());
    EXPECT_EQ(back.image.format(), QImage::Format_RGB888);
    EXPECT_EQ(back.bitCount, 24);
    EXPECT_LT(meanDifference(back.image, picture), 3.0);
}

TEST(JpegCodec, WritesBaselineWithTheRequestedSubsampling)
{
    const QImage picture = CodecFixtures::gradient(32, 32);
    const std::pair<int, int> cases[] = {{2, 0x22}, {1, 0x21}, {0, 0x11}};
    for (const auto& [setting, lumaFactors] : cases) {
        const QByteArray file = encodeOk(picture, {.jpegSubsamp = setting});
        ASSERT_TRUE(CodecFixtures::jpegSegments(file, 0xC2).isEmpty()) << "must not be progressive";
        const QList<QByteArray> sof0 = CodecFixtures::jpegSegments(file, 0xC0);
        ASSERT_EQ(sof0.size(), 1) << "baseline frame header expected";
        ASSERT_EQ(sof0[0].size(), 6 + 3 * 3);
        EXPECT_EQ(uchar(sof0[0][5]), 3);
        EXPECT_EQ(uchar(sof0[0][7]), lumaFactors) << "setting " << setting;
        EXPECT_EQ(uchar(sof0[0][10]), 0x11);
        EXPECT_EQ(uchar(sof0[0][13]), 0x11);
    }
}

TEST(JpegCodec, QualityAndCommentReachTheFile)
{
    const QImage picture = CodecFixtures::gradient(120, 80);
    const QByteArray high = encodeOk(picture, {.jpegQuality = 100, .comment = "Powered by Lumivane"});
    const QByteArray low = encodeOk(picture, {.jpegQuality = 10});
    EXPECT_LT(low.size(), high.size() / 2);
    EXPECT_EQ(CodecFixtures::jpegSegments(high, 0xFE), QList<QByteArray>{"Powered by Lumivane"});
    EXPECT_TRUE(CodecFixtures::jpegSegments(low, 0xFE).isEmpty());

    QString error;
    EXPECT_FALSE(JpegCodec::encode(picture, {.jpegQuality = 0}, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(JpegCodec::encode(picture, {.jpegQuality = 101}, nullptr));
    EXPECT_FALSE(JpegCodec::encode(picture, {.jpegSubsamp = 3}, nullptr));
}

TEST(JpegCodec, ReadsGreyscaleProgressiveAndCmyk)
{
    const DecodedImage grey =
        JpegCodec::decode(viaQt(CodecFixtures::gradient(40, 30).convertToFormat(QImage::Format_Grayscale8), false));
    ASSERT_TRUE(grey.ok()) << grey.error.toStdString();
    EXPECT_EQ(grey.bitCount, 8);
    EXPECT_EQ(grey.image.format(), QImage::Format_RGB888);

    const QImage picture = CodecFixtures::gradient(40, 30);
    const QByteArray progressive = viaQt(picture, true);
    ASSERT_FALSE(CodecFixtures::jpegSegments(progressive, 0xC2).isEmpty());
    const DecodedImage p = JpegCodec::decode(progressive);
    ASSERT_TRUE(p.ok()) << p.error.toStdString();
    EXPECT_LT(meanDifference(p.image, picture), 6.0);

    const uchar adobeRed[4] = {255, 0, 0, 255}; // inverted C=0 M=100% Y=100% K=0
    const DecodedImage a = JpegCodec::decode(cmykJpeg(adobeRed, true));
    ASSERT_TRUE(a.ok()) << a.error.toStdString();
    EXPECT_EQ(a.bitCount, 32);
    EXPECT_TRUE(near(a.image.pixel(8, 8), qRgb(255, 0, 0), 8)) << std::hex << a.image.pixel(8, 8);

    const uchar plainBlue[4] = {255, 255, 0, 0}; // C=100% M=100% Y=0 K=0
    const DecodedImage b = JpegCodec::decode(cmykJpeg(plainBlue, false));
    ASSERT_TRUE(b.ok()) << b.error.toStdString();
    EXPECT_TRUE(near(b.image.pixel(8, 8), qRgb(0, 0, 255), 8)) << std::hex << b.image.pixel(8, 8);
}

QByteArray exifPayload(int orientation, bool bigEndian)
{
    QByteArray tiff = bigEndian ? QByteArray("MM\0\x2A\0\0\0\x08", 8) : QByteArray("II\x2A\0\x08\0\0\0", 8);
    auto add16 = [&](quint32 v) {
        const char hi = char(v >> 8), lo = char(v & 0xFF);
        tiff.append(bigEndian ? hi : lo), tiff.append(bigEndian ? lo : hi);
    };
    auto add32 = [&](quint32 v) { bigEndian ? (add16(v >> 16), add16(v)) : (add16(v & 0xFFFF), add16(v >> 16)); };
    add16(2);                                    // two entries
    add16(0x010F), add16(2), add32(4), add32(0); // Make, ASCII: skipped
    add16(0x0112), add16(3), add32(1);           // Orientation, one SHORT, left-justified in the value field
    add16(quint32(orientation)), add16(0);
    add32(0); // no next IFD
    return QByteArray("Exif\0\0", 6) + tiff;
}

QByteArray withExif(const QByteArray& jpeg, const QByteArray& payload)
{
    const int length = int(payload.size()) + 2;
    return jpeg.left(2) + "\xFF\xE1" + char(length >> 8) + char(length & 0xFF) + payload + jpeg.mid(2);
}

TEST(JpegCodec, ParsesTheExifOrientationInBothByteOrders)
{
    for (int o = 1; o <= 8; ++o)
        for (bool big : {false, true}) {
            const QByteArray p = exifPayload(o, big);
            EXPECT_EQ(JpegCodec::exifOrientation(reinterpret_cast<const uchar*>(p.constData()), p.size()), o);
        }
    const QByteArray bad = exifPayload(9, true);
    EXPECT_EQ(JpegCodec::exifOrientation(reinterpret_cast<const uchar*>(bad.constData()), bad.size()), 1);
    const QByteArray cut = exifPayload(6, false).left(20);
    EXPECT_EQ(JpegCodec::exifOrientation(reinterpret_cast<const uchar*>(cut.constData()), cut.size()), 1);
}

TEST(JpegCodec, TurnsPhotosUprightByTheirExifOrientation)
{
    // Quadrants red | green over blue | white, 64 x 32 stored.
    const int w = 64, h = 32;
    QImage stored(w, h, QImage::Format_RGB888);
    const QRgb colours[2][2] = {{qRgb(255, 0, 0), qRgb(0, 255, 0)}, {qRgb(0, 0, 255), qRgb(255, 255, 255)}};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            stored.setPixel(x, y, colours[y >= h / 2][x >= w / 2]);
    const QByteArray jpeg = encodeOk(stored);
    // Where each displayed pixel comes from in the stored picture.
    const std::function<QPoint(int, int)> source[9] = {{},
                                                       [](int x, int y) { return QPoint(x, y); },
                                                       [&](int x, int y) { return QPoint(w - 1 - x, y); },
                                                       [&](int x, int y) { return QPoint(w - 1 - x, h - 1 - y); },
                                                       [&](int x, int y) { return QPoint(x, h - 1 - y); },
                                                       [](int x, int y) { return QPoint(y, x); },
                                                       [&](int x, int y) { return QPoint(y, h - 1 - x); },
                                                       [&](int x, int y) { return QPoint(w - 1 - y, h - 1 - x); },
                                                       [&](int x, int y) { return QPoint(w - 1 - y, x); }};
    for (int o = 1; o <= 8; ++o) {
        const DecodedImage d = JpegCodec::decode(withExif(jpeg, exifPayload(o, o % 2 == 0)));
        ASSERT_TRUE(d.ok()) << d.error.toStdString();
        const QSize expected = o >= 5 ? QSize(h, w) : QSize(w, h);
        ASSERT_EQ(d.image.size(), expected) << "orientation " << o;
        for (const QPoint at : {QPoint(expected.width() / 4, expected.height() / 4),
                                QPoint(3 * expected.width() / 4, expected.height() / 4),
                                QPoint(expected.width() / 4, 3 * expected.height() / 4),
                                QPoint(3 * expected.width() / 4, 3 * expected.height() / 4)}) {
            const QPoint from = source[o](at.x(), at.y());
            EXPECT_TRUE(near(d.image.pixel(at), stored.pixel(from)))
                << "orientation " << o << " at " << at.x() << "," << at.y();
        }
    }
}

TEST(JpegCodec, RefusesBrokenAndOversizedFiles)
{
    const QByteArray file = encodeOk(CodecFixtures::gradient(48, 40), {.comment = "x"});
    for (int n = 0; n < file.size(); n += 3) {
        const DecodedImage d = JpegCodec::decode(file.left(n));
        EXPECT_NE(d.ok(), d.error.size() > 0) << "prefix " << n;
    }
    EXPECT_FALSE(JpegCodec::decode(QByteArray("\xFF\xD8\xFF\xE0garbage", 11)).ok());

    QByteArray huge = file;
    const int sof = int(huge.indexOf("\xFF\xC0"));
    ASSERT_GT(sof, 0);
    huge[sof + 5] = char(0x9C), huge[sof + 6] = char(0x40), huge[sof + 7] = char(0x9C),
               huge[sof + 8] = char(0x40); // 40000
    const DecodedImage d = JpegCodec::decode(huge);
    EXPECT_FALSE(d.ok());
    EXPECT_TRUE(d.error.contains("limit")) << d.error.toStdString();
}

// The file with the picture size in its frame header replaced.
QByteArray declaring(QByteArray file, int width, int height)
{
    for (const char* sof : {"\xFF\xC0", "\xFF\xC2"})
        if (const qsizetype at = file.indexOf(sof); at > 0) {
            file[at + 5] = char(height >> 8), file[at + 6] = char(height);
            file[at + 7] = char(width >> 8), file[at + 8] = char(width);
            return file;
        }
    ADD_FAILURE() << "no frame header";
    return file;
}

TEST(JpegCodec, TinyFilesThatDeclareHugePicturesAndCutFilesAreRefused)
{
    const QImage picture = CodecFixtures::gradient(64, 48);
    const QByteArray baseline = encodeOk(picture);
    const QByteArray progressive = viaQt(picture, true);
    struct Case
    {
        const char* name;
        QByteArray file;
        bool loads;
        bool headerPasses; // a cut file is only found out by decoding it
    };
    const Case cases[] = {
        {"baseline", baseline, true, true},
        {"progressive", progressive, true, true},
        {"without its end marker", baseline.chopped(2), true, true},
        // Both once took seconds and gigabytes, then "loaded" as a flat grey picture.
        {"baseline declaring 30000 x 6666", declaring(baseline, 30000, 6666), false, false},
        {"progressive declaring 30000 x 6666", declaring(progressive, 30000, 6666), false, false},
        {"baseline cut in half", baseline.left(baseline.size() / 2), false, true},
        {"progressive cut in half", progressive.left(progressive.size() / 2), false, true},
    };
    for (const Case& c : cases) {
        const DecodedImage d = JpegCodec::decode(c.file);
        EXPECT_EQ(d.ok(), c.loads) << c.name << ": " << d.error.toStdString();
        EXPECT_EQ(d.error.isEmpty(), c.loads) << c.name;
        // A reduced decode refuses what a whole one refuses.
        const DecodedImage reduced = JpegCodec::decodeCovering(c.file, QSize(8, 6));
        EXPECT_EQ(reduced.ok(), c.loads) << c.name << " at 1/8: " << reduced.error.toStdString();
        EXPECT_EQ(reduced.ok() ? reduced.image.size() : QSize(), c.loads ? QSize(8, 6) : QSize()) << c.name;
        QString error;
        EXPECT_EQ(JpegCodec::readHeader(c.file, &error).has_value(), c.headerPasses) << c.name;
        EXPECT_EQ(error.isEmpty(), c.headerPasses) << c.name;
    }
}

TEST(JpegCodec, DecodesAtTheSmallestScaleThatStillCoversTheBoxUpright)
{
    const QImage stored = CodecFixtures::gradient(800, 600);
    const QByteArray jpeg = encodeOk(stored);
    struct Case
    {
        int orientation;
        QSize cover; // upright
        QSize expected;
    };
    const Case cases[] = {
        {1, {100, 75}, {100, 75}},     // 1/8 exactly
        {1, {101, 75}, {200, 150}},    // a pixel wider needs 1/4
        {1, {100, 151}, {400, 300}},   // the other side decides alike
        {1, {401, 300}, {800, 600}},   // no reduction covers it
        {1, {1600, 1200}, {800, 600}}, // nor an enlargement
        {1, {}, {800, 600}},           // no box: whole
        {6, {75, 100}, {75, 100}},     // a turned photo is covered as it is shown
        {6, {76, 100}, {150, 200}},
    };
    for (const Case& c : cases) {
        const QByteArray file = c.orientation == 1 ? jpeg : withExif(jpeg, exifPayload(c.orientation, false));
        const std::optional<JpegCodec::Header> header = JpegCodec::readHeader(file);
        ASSERT_TRUE(header);
        EXPECT_EQ(header->bitCount, 24);
        const DecodedImage d = JpegCodec::decodeCovering(file, c.cover);
        ASSERT_TRUE(d.ok()) << d.error.toStdString();
        EXPECT_EQ(d.image.size(), c.expected) << c.cover.width() << "x" << c.cover.height();
        EXPECT_EQ(JpegCodec::coveringSize(header->upright, c.cover), c.expected);
        if (c.orientation == 1) {
            const QPoint at(d.image.width() / 3, d.image.height() / 3);
            EXPECT_TRUE(
                near(d.image.pixel(at), stored.pixel(at.x() * 800 / d.image.width(), at.y() * 600 / d.image.height())));
        } else {
            EXPECT_EQ(header->upright, QSize(600, 800));
        }
    }
}

TEST(JpegDataBudget, CountsCodedDataOnlyAsFarAsAskedFor)
{
    for (const QByteArray& file :
         {encodeOk(CodecFixtures::gradient(64, 48)), viaQt(CodecFixtures::gradient(64, 48), true)}) {
        const qint64 all = JpegDataBudget::codedBytes(file);
        EXPECT_GT(all, 0);
        EXPECT_LT(all, file.size()); // the headers and tables are not coded data
        for (const qint64 enough : {qint64(1), all / 2, all, all + 1})
            EXPECT_EQ(JpegDataBudget::codedBytes(file, enough), std::min(all, enough)) << enough;
    }
}

} // namespace
