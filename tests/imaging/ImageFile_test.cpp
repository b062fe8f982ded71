#include "CodecFixtures.h"
#include "support/FileSizeLimit.h"

#include "imaging/codecs/ImageFile.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QRandomGenerator>
#include <QtCore/QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

TEST(ImageFile, SavesEveryFormatAndLoadsItBackWithItsBitCount)
{
    QTemporaryDir dir;
    const QImage rgb = CodecFixtures::gradient(50, 40);
    const QImage pal256 = CodecFixtures::indexed(50, 40, 256);
    const QImage pal16 = CodecFixtures::indexed(50, 40, 16);
    struct Case
    {
        const char* name;
        const QImage& image;
        FileFormat format;
        int bitCount;
    };
    const Case cases[] = {
        {"a.bmp", rgb, FileFormat::Bmp, 24},  {"a.jpg", rgb, FileFormat::Jpeg, 24},
        {"a.png", rgb, FileFormat::Png, 24},  {"b.png", pal256, FileFormat::Png, 8},
        {"c.png", pal16, FileFormat::Png, 4}, {"a.gif", pal256, FileFormat::Gif, 8},
        {"b.gif", pal16, FileFormat::Gif, 4},
    };
    for (const Case& c : cases) {
        const QString path = dir.filePath(c.name);
        QString error;
        ASSERT_TRUE(ImageFile::save(c.image, path, c.format, {.comment = "Powered by Lumivane"}, &error))
            << c.name << ": " << error.toStdString();
        const DecodedImage back = ImageFile::load(path);
        ASSERT_TRUE(back.ok()) << c.name << ": " << back.error.toStdString();
        EXPECT_EQ(back.bitCount, c.bitCount) << c.name;
        EXPECT_EQ(back.image.size(), c.image.size()) << c.name;
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), qsizetype(std::size(cases))) << "no temporary files left";
}

TEST(ImageFile, FindsTheFormatFromTheContentNotTheName)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("really-a-png.jpg");
    ASSERT_TRUE(ImageFile::save(CodecFixtures::gradient(8, 8), path, FileFormat::Png, {}));
    const DecodedImage d = ImageFile::load(path);
    ASSERT_TRUE(d.ok()) << d.error.toStdString();
    EXPECT_EQ(d.image.size(), QSize(8, 8));
}

TEST(ImageFile, ReportsUnreadableInput)
{
    QTemporaryDir dir;
    EXPECT_FALSE(ImageFile::load(dir.filePath("missing.png")).error.isEmpty());
    writeAll(dir.filePath("empty.bmp"), {});
    EXPECT_FALSE(ImageFile::load(dir.filePath("empty.bmp")).error.isEmpty());
    writeAll(dir.filePath("text.gif"), "hello, this is not a picture");
    const DecodedImage text = ImageFile::load(dir.filePath("text.gif"));
    EXPECT_FALSE(text.ok());
    EXPECT_TRUE(text.error.contains("supported")) << text.error.toStdString();
    // .fpx is accepted by name elsewhere, but FlashPix content is not something we decode.
    writeAll(dir.filePath("a.fpx"), QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8));
    EXPECT_FALSE(ImageFile::load(dir.filePath("a.fpx")).ok());
}

TEST(ImageFile, FailedSaveLeavesTheExistingFileUntouched)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("keep.jpg");
    writeAll(path, "previous contents");
    QString error;
    EXPECT_FALSE(ImageFile::save(CodecFixtures::gradient(8, 8), path, FileFormat::Jpeg, {.jpegQuality = 0}, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(ImageFile::save(QImage(), path, FileFormat::Png, {}, &error));
    EXPECT_EQ(readAll(path), "previous contents");

    // The folder cannot exist: its "parent" is a file.
    error.clear();
    EXPECT_FALSE(ImageFile::save(CodecFixtures::gradient(8, 8), path + "/inside.png", FileFormat::Png, {}, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(readAll(path), "previous contents");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"keep.jpg"});
}

TEST(ImageFile, WriteFailingHalfWayLeavesTheOldFileAndNoLeftovers)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("undo.bmp");
    writeAll(path, "previous contents");
    for (FileFormat format : {FileFormat::Bmp, FileFormat::Png}) {
        QString error;
        {
            const FileSizeLimit limit(4096);
            EXPECT_FALSE(ImageFile::save(CodecFixtures::gradient(300, 200), path, format, {}, &error));
        }
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(readAll(path), "previous contents");
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"undo.bmp"});
    }
    EXPECT_TRUE(ImageFile::save(CodecFixtures::gradient(300, 200), path, FileFormat::Bmp, {}));
    EXPECT_EQ(readAll(path).size(), 54 + 900 * 200);
}

TEST(ImageFile, EncodesPicturesWithAlphaAsOpaqueFiles)
{
    QImage argb(6, 4, QImage::Format_ARGB32);
    argb.fill(qRgba(10, 200, 30, 255));
    for (FileFormat format : {FileFormat::Bmp, FileFormat::Jpeg, FileFormat::Png}) {
        const std::optional<QByteArray> bytes = ImageFile::encode(argb, format, {});
        ASSERT_TRUE(bytes);
        const DecodedImage d = ImageFile::decode(*bytes);
        ASSERT_TRUE(d.ok());
        EXPECT_EQ(d.image.format(), QImage::Format_RGB888);
        EXPECT_LE(std::abs(qGreen(d.image.pixel(3, 2)) - 200), 4);
    }
}

TEST(ImageFile, SurvivesCorruptedFilesOfEveryFormat)
{
    // Flipped bytes drive each library into its error exits (longjmp for libjpeg and libpng).
    const QImage picture = CodecFixtures::gradient(24, 16);
    const QImage palette = CodecFixtures::indexed(24, 16, 16);
    const QByteArray samples[] = {
        *ImageFile::encode(picture, FileFormat::Bmp, {}),
        *ImageFile::encode(picture, FileFormat::Jpeg, {.comment = "c"}),
        *ImageFile::encode(palette, FileFormat::Png, {.comment = "c"}),
        *ImageFile::encode(palette, FileFormat::Gif, {.comment = "c"}),
        CodecFixtures::pcx(
            {.width = 4, .height = 2, .bytesPerLine = 4, .data = CodecFixtures::pcxRle(QByteArray(8, 'a'))})};
    QRandomGenerator random(1234);
    for (const QByteArray& sample : samples)
        for (int round = 0; round < 300; ++round) {
            QByteArray bytes = sample;
            for (int flips = random.bounded(1, 5); flips > 0; --flips) {
                const int at = random.bounded(int(bytes.size()));
                bytes[at] = char(bytes[at] ^ (1 << random.bounded(8)));
            }
            const DecodedImage d = ImageFile::decode(bytes);
            ASSERT_NE(d.ok(), !d.error.isEmpty()) << "round " << round;
        }
}

} // namespace

TEST(ImageFile, RefusesBrokenTiffsScanFloodsAndFilesThatAreNotRegular)
{
    // The reproducers kept with the fuzz corpus: each once loaded as a success.
    for (const char* name : {"garbage_lzw.tif", "garbage_zip.tif", "strips_beyond_end.tif", "many_scans.jpg"}) {
        const DecodedImage d = ImageFile::load(QStringLiteral(PICTOREL_SOURCE_DIR "/fuzz/corpus/decode/") + name);
        EXPECT_FALSE(d.ok()) << name;
        EXPECT_FALSE(d.error.isEmpty()) << name;
    }
    EXPECT_TRUE(ImageFile::load(QStringLiteral(PICTOREL_SOURCE_DIR "/fuzz/corpus/decode/small.tif")).ok());

    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("pipe.png"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_FALSE(ImageFile::load(fifo).ok()); // and does not block in open()
    EXPECT_FALSE(ImageFile::load(dir.path()).ok());
    QImage picture(4, 4, QImage::Format_RGB888);
    picture.fill(Qt::red);
    QString error;
    EXPECT_FALSE(ImageFile::save(picture, fifo, FileFormat::Png, {}, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFileInfo(fifo).isFile()) << "the FIFO was replaced by a file";
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("pipe.png")});
}
