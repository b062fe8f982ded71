#include "output/SizeLimitedEncoder.h"

#include "imaging/effects/ColorReduction.h"
#include "support/PixelProbe.h"
#include "support/ScriptedPrompts.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <cstring>
#include <sys/resource.h>

namespace {

using PixelProbe::photo;

// Black and white squares of 3 pixels: their file sizes go up as well as down when the quality falls.
QImage checker(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            std::memset(image.scanLine(y) + 3 * x, (x / 3 + y / 3) % 2 ? 255 : 0, 3);
    return image;
}

qint64 jpegSize(const QImage& image, int quality)
{
    return ImageFile::encode(image, FileFormat::Jpeg, EncodeOptions{quality, 2, QStringLiteral("c")})->size();
}

struct Reference
{
    int quality;
    qint64 size;
    bool fitted;
};

// The plain loop: encode, measure, step down by one, stop below 10.
Reference sequentialLoop(const QImage& image, const std::function<qint64()>& limit)
{
    int quality = 100;
    qint64 size = jpegSize(image, quality);
    while (size > limit()) {
        if (quality < 10)
            return {quality, size, false};
        size = jpegSize(image, --quality);
    }
    return {quality, size, true};
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class EncoderTest : public ::testing::Test
{
  protected:
    QTemporaryDir dir;
    QString file(const QString& name) const { return dir.filePath(name); }

    EncodeResult encode(const QImage& image, qint64 limit, FileFormat format, const QString& name)
    {
        SizeLimitedEncoder encoder(image, [limit] { return limit; }, {});
        return encoder.EncodeWithinLimit(file(name), format, QStringLiteral("c"));
    }
};

TEST_F(EncoderTest, JpegThatFitsAtHundredIsWrittenOnceAtHundred)
{
    const EncodeResult r = encode(photo(64, 48, 1), 10'000'000, FileFormat::Jpeg, "a.jpg");
    EXPECT_EQ(r.outcome, EncodeOutcome::Fitted);
    EXPECT_EQ(r.setting, 100);
    EXPECT_EQ(r.size, QFileInfo(file("a.jpg")).size());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"a.jpg"}); // no temporary file left
}

TEST_F(EncoderTest, JpegThatNeverFitsLeavesTheQualityNineFile)
{
    const QImage image = photo(160, 120, 2);
    const EncodeResult r = encode(image, 256, FileFormat::Jpeg, "a.jpg");
    EXPECT_EQ(r.outcome, EncodeOutcome::NotFitted);
    EXPECT_EQ(r.setting, 9);
    EXPECT_EQ(r.size, jpegSize(image, 9));
    EXPECT_EQ(readAll(file("a.jpg")),
              *ImageFile::encode(image, FileFormat::Jpeg, EncodeOptions{9, 2, QStringLiteral("c")}));
}

TEST_F(EncoderTest, JpegSizeEqualToTheLimitFits)
{
    const QImage image = photo(120, 90, 3);
    const qint64 atHundred = jpegSize(image, 100);
    EXPECT_EQ(encode(image, atHundred, FileFormat::Jpeg, "a.jpg").setting, 100);
    const qint64 at80 = jpegSize(image, 80);
    const EncodeResult r = encode(image, at80, FileFormat::Jpeg, "b.jpg");
    EXPECT_EQ(r.outcome, EncodeOutcome::Fitted);
    EXPECT_EQ(r.size, at80);
    EXPECT_EQ(r.setting, sequentialLoop(image, [at80] { return at80; }).quality);
}

TEST_F(EncoderTest, JpegQualityIsTheSequentialLoopsOnManyPicturesAndLimits)
{
    const QList<QImage> pictures = {photo(480, 480, 4), photo(240, 320, 5), photo(176, 220, 6), photo(33, 17, 7),
                                    photo(1, 1, 8)};
    for (const QImage& image : pictures) {
        const qint64 top = jpegSize(image, 100);
        for (double share : {0.95, 0.6, 0.3, 0.12, 0.05}) {
            const qint64 limit = qint64(top * share);
            const Reference expected = sequentialLoop(image, [limit] { return limit; });
            const EncodeResult r = encode(image, limit, FileFormat::Jpeg, "a.jpg");
            SCOPED_TRACE(
                QStringLiteral("%1x%2 limit %3").arg(image.width()).arg(image.height()).arg(limit).toStdString());
            EXPECT_EQ(r.setting, expected.quality);
            EXPECT_EQ(r.size, expected.size);
            EXPECT_EQ(r.outcome, expected.fitted ? EncodeOutcome::Fitted : EncodeOutcome::NotFitted);
            EXPECT_EQ(QFileInfo(file("a.jpg")).size(), expected.size);
        }
    }
}

// Sizes are not monotonic in quality: a lower quality can give a larger file. A limit that only the
// higher of two such qualities meets must stop there, as the plain loop does.
TEST_F(EncoderTest, JpegLimitBetweenNonMonotonicSizesStopsWhereTheLoopStops)
{
    int found = 0;
    for (int width : {48, 56, 64}) {
        const QImage image = checker(width, 40);
        std::vector<qint64> sizes(101);
        for (int q = 9; q <= 100; ++q)
            sizes[size_t(q)] = jpegSize(image, q);
        qint64 smallestAbove = sizes[100];
        for (int q = 99; q > 9 && found < 3; --q) {
            if (sizes[size_t(q)] < sizes[size_t(q - 1)] && sizes[size_t(q)] < smallestAbove) {
                const qint64 limit = sizes[size_t(q)];
                const EncodeResult r = encode(image, limit, FileFormat::Jpeg, "a.jpg");
                EXPECT_EQ(r.setting, q);
                EXPECT_EQ(r.setting, sequentialLoop(image, [limit] { return limit; }).quality);
                ++found;
            }
            smallestAbove = std::min(smallestAbove, sizes[size_t(q)]);
        }
    }
    EXPECT_GT(found, 0) << "no picture with a quality step that grows the file";
}

TEST_F(EncoderTest, PictureWithAlphaChannelIsEncodedAsItsOpaqueColours)
{
    const QImage image = photo(90, 70, 25);
    const qint64 limit = jpegSize(image, 60);
    const EncodeResult r = encode(image.convertToFormat(QImage::Format_ARGB32), limit, FileFormat::Jpeg, "a.jpg");
    EXPECT_EQ(r.setting, sequentialLoop(image, [limit] { return limit; }).quality);
    EXPECT_EQ(r.size, limit);
}

TEST_F(EncoderTest, NoPictureIsAnErrorAndWritesNothing)
{
    const EncodeResult r = encode(QImage(), 1 << 20, FileFormat::Png, "a.png");
    EXPECT_EQ(r.outcome, EncodeOutcome::WriteFailed);
    EXPECT_FALSE(r.error.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(file("a.png")));
}

TEST_F(EncoderTest, JpegLimitIsReadAfreshAtEveryComparison)
{
    const QImage image = photo(200, 150, 9);
    int calls = 0;
    // Nothing fits until the fifth comparison, which is quality 96.
    SizeLimitedEncoder encoder(image, [&calls] { return ++calls == 5 ? qint64(1) << 40 : qint64(256); }, {});
    const EncodeResult r = encoder.EncodeWithinLimit(file("a.jpg"), FileFormat::Jpeg, QStringLiteral("c"));
    EXPECT_EQ(r.outcome, EncodeOutcome::Fitted);
    EXPECT_EQ(r.setting, 96);
    EXPECT_EQ(calls, 5);
}

TEST_F(EncoderTest, SavedJpegIsBaselineFourTwoZeroWithTheComment)
{
    SizeLimitedEncoder encoder(photo(64, 64, 11), [] { return qint64(1) << 30; }, {});
    ASSERT_EQ(encoder.EncodeWithinLimit(file("a.jpg"), FileFormat::Jpeg, QStringLiteral("Powered by Lumivane")).outcome,
              EncodeOutcome::Fitted);
    const QByteArray bytes = readAll(file("a.jpg"));
    bool baseline = false, otherFrame = false, comment = false;
    for (qsizetype pos = 2; pos + 4 <= bytes.size();) {
        const int marker = uchar(bytes[pos + 1]), length = uchar(bytes[pos + 2]) << 8 | uchar(bytes[pos + 3]);
        if (marker == 0xC0)
            baseline =
                bytes[pos + 9] == 3 && bytes[pos + 11] == 0x22 && bytes[pos + 14] == 0x11 && bytes[pos + 17] == 0x11;
        otherFrame |= marker >= 0xC1 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        comment |= marker == 0xFE && bytes.mid(pos + 4, length - 2) == "Powered by Lumivane";
        if (marker == 0xDA)
            break;
        pos += 2 + length;
    }
    EXPECT_TRUE(baseline);
    EXPECT_FALSE(otherFrame);
    EXPECT_TRUE(comment);
}

TEST_F(EncoderTest, StagePointsComeInOrder)
{
    for (FileFormat format : {FileFormat::Jpeg, FileFormat::Gif, FileFormat::Png, FileFormat::Bmp}) {
        QList<EncodeStage> stages;
        SizeLimitedEncoder encoder(photo(40, 30, 12), [] { return qint64(256); }, {});
        encoder.EncodeWithinLimit(file("a"), format, QStringLiteral("c"), [&](EncodeStage s) { stages << s; });
        if (format == FileFormat::Bmp)
            EXPECT_EQ(stages, QList<EncodeStage>{EncodeStage::BeforeFirstWrite});
        else
            EXPECT_EQ(stages, (QList<EncodeStage>{EncodeStage::BeforeFirstWrite, EncodeStage::FirstWriteMeasured}));
    }
}

TEST_F(EncoderTest, UnwritableFileIsWriteFailedAndTheOldFileStays)
{
    QFile blocker(file("folder"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly) && blocker.write("keep") == 4);
    blocker.close();
    for (FileFormat format : {FileFormat::Jpeg, FileFormat::Gif, FileFormat::Png, FileFormat::Bmp}) {
        const EncodeResult r = encode(photo(40, 30, 13), 1 << 30, format, "folder/a");
        EXPECT_EQ(r.outcome, EncodeOutcome::WriteFailed);
        EXPECT_FALSE(r.error.isEmpty());
    }
    EXPECT_EQ(readAll(file("folder")), "keep");

    // A write cut short (file size limit of the process) must not replace an existing file.
    QFile old(file("old.jpg"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write("old contents") == 12);
    old.close();
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit tight = saved;
    tight.rlim_cur = 200;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tight), 0);
    const EncodeResult r = encode(photo(200, 200, 14), 1 << 30, FileFormat::Jpeg, "old.jpg");
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ(r.outcome, EncodeOutcome::WriteFailed);
    EXPECT_EQ(readAll(file("old.jpg")), "old contents");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2); // no temporary file left behind
}

TEST_F(EncoderTest, BmpIsWrittenOnceWhateverTheLimit)
{
    const QImage image = photo(50, 40, 15);
    const EncodeResult r = encode(image, 256, FileFormat::Bmp, "a.bmp");
    EXPECT_EQ(r.outcome, EncodeOutcome::Unadjusted);
    EXPECT_GT(r.size, 256);
    EXPECT_EQ(r.size, QFileInfo(file("a.bmp")).size());
    EXPECT_EQ(ImageFile::load(file("a.bmp")).image, image);
}

class PaletteTest : public EncoderTest, public ::testing::WithParamInterface<FileFormat>
{
  protected:
    QImage image = photo(120, 100, 16);
    QString name() const { return GetParam() == FileFormat::Gif ? "a.gif" : "a.png"; }
    qint64 sizeAt(int bits) const
    {
        QImage reduced = ColorReduction::convertColor(image, 8, false, false);
        if (bits == 4)
            reduced = ColorReduction::convertColor(reduced, 4, false, false);
        return ImageFile::encode(reduced, GetParam(), EncodeOptions{100, 2, QStringLiteral("c")})->size();
    }
    // Bits per pixel of the written file, from its own header.
    int fileBits() const
    {
        const QByteArray bytes = readAll(file(name()));
        if (GetParam() == FileFormat::Png)
            return bytes.size() > 25 && bytes[25] == 3 ? int(bytes[24]) : 0; // IHDR depth, palette type
        return ImageFile::decode(bytes).bitCount;
    }
};

TEST_P(PaletteTest, FitsAtEightBitsWhenTheLimitAllows)
{
    const EncodeResult r = encode(image, sizeAt(8), GetParam(), name());
    EXPECT_EQ(r.outcome, EncodeOutcome::Fitted);
    EXPECT_EQ(r.setting, 8);
    EXPECT_EQ(r.size, sizeAt(8));
    EXPECT_EQ(fileBits(), 8);
}

TEST_P(PaletteTest, DropsToFourBitsWhenEightAreTooLarge)
{
    ASSERT_LT(sizeAt(4), sizeAt(8));
    const EncodeResult r = encode(image, sizeAt(8) - 1, GetParam(), name());
    EXPECT_EQ(r.outcome, EncodeOutcome::Fitted);
    EXPECT_EQ(r.setting, 4);
    EXPECT_EQ(r.size, QFileInfo(file(name())).size());
    EXPECT_EQ(fileBits(), 4);
    EXPECT_EQ(ImageFile::load(file(name())).image.convertToFormat(QImage::Format_Indexed8).colorCount() <= 16, true);

    const EncodeResult tooLarge = encode(image, sizeAt(4) - 1, GetParam(), name());
    EXPECT_EQ(tooLarge.outcome, EncodeOutcome::NotFitted);
    EXPECT_EQ(tooLarge.setting, 4);
    EXPECT_EQ(tooLarge.size, QFileInfo(file(name())).size());
}

TEST_P(PaletteTest, ReductionFailuresAreReported)
{
    int calls = 0;
    auto failingAt = [&calls](int failing) {
        return [&calls, failing](const QImage& source, int bits, const ReductionOptions&) {
            return ++calls == failing ? QImage() : ColorReduction::convertColor(source, bits, false, false);
        };
    };
    SizeLimitedEncoder first(image, [] { return qint64(256); }, {});
    first.setReducer(failingAt(1));
    EXPECT_EQ(first.EncodeWithinLimit(file(name()), GetParam(), "c").outcome, EncodeOutcome::FirstReductionFailed);
    EXPECT_FALSE(QFileInfo::exists(file(name())));
    EXPECT_TRUE(first.image().isNull());

    calls = 0;
    SizeLimitedEncoder later(image, [] { return qint64(256); }, {});
    later.setReducer(failingAt(2));
    const EncodeResult r = later.EncodeWithinLimit(file(name()), GetParam(), "c");
    EXPECT_EQ(r.outcome, EncodeOutcome::LaterReductionFailed);
    EXPECT_EQ(r.size, sizeAt(8));
    EXPECT_EQ(QFileInfo(file(name())).size(), sizeAt(8));
    EXPECT_EQ(fileBits(), 8);
}

INSTANTIATE_TEST_SUITE_P(GifAndPng, PaletteTest, ::testing::Values(FileFormat::Gif, FileFormat::Png));

TEST(ReduceColors, LaterReductionStartsFromTheEarlierResultUnderTheBusyCursor)
{
    ScriptedPrompts prompts;
    QList<QImage> inputs;
    QList<int> busyDuring;
    SizeLimitedEncoder encoder(
        photo(30, 20, 17), [] { return qint64(256); }, {true, true}, &prompts);
    encoder.setReducer([&](const QImage& source, int bits, const ReductionOptions& options) {
        inputs << source;
        busyDuring << prompts.busyDepth;
        EXPECT_TRUE(options.dither && options.fixedPalette);
        return ColorReduction::convertColor(source, bits, options.fixedPalette, options.dither);
    });
    ASSERT_TRUE(encoder.ReduceColors(8));
    const QImage eightBit = encoder.image();
    ASSERT_TRUE(encoder.ReduceColors(4));
    ASSERT_EQ(inputs.size(), 2);
    EXPECT_EQ(inputs[1], eightBit);
    EXPECT_EQ(encoder.image().colorCount(), 16);
    EXPECT_EQ(busyDuring, (QList<int>{1, 1}));
    EXPECT_EQ(prompts.busyDepth, 0);
}

} // namespace
