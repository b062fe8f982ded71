#include "imaging/ImageFile.h"

#include "foundation/FileKind.h"
#include "imaging/BmpCodec.h"
#include "imaging/GifCodec.h"
#include "imaging/ImageLimits.h"
#include "imaging/JpegCodec.h"
#include "imaging/PcxCodec.h"
#include "imaging/PngCodec.h"
#include "imaging/TiffCodec.h"

#include <QtCore/QFile>
#include <QtCore/QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

} // namespace

DecodedImage ImageFile::load(const QString& path)
{
    if (FileKind::isSpecial(path))
        return DecodedImage::failure(QStringLiteral("%1 is not a regular file").arg(path));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return DecodedImage::failure(QStringLiteral("cannot open %1: %2").arg(path, file.errorString()));
    if (file.size() > ImageLimits::maxFileBytes)
        return DecodedImage::failure(
            QStringLiteral("%1 is larger than %2 bytes").arg(path).arg(ImageLimits::maxFileBytes));
    if (std::optional<DecodedImage> plain = BmpCodec::readPlain(file))
        return *plain;
    if (!file.seek(0))
        return DecodedImage::failure(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return DecodedImage::failure(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    return decode(bytes);
}

DecodedImage ImageFile::decode(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return DecodedImage::failure(QStringLiteral("the file is empty"));
    if (JpegCodec::matches(bytes))
        return JpegCodec::decode(bytes);
    if (PngCodec::matches(bytes))
        return PngCodec::decode(bytes);
    if (GifCodec::matches(bytes))
        return GifCodec::decode(bytes);
    if (BmpCodec::matches(bytes))
        return BmpCodec::decode(bytes);
    if (TiffCodec::matches(bytes))
        return TiffCodec::decode(bytes);
    if (PcxCodec::matches(bytes))
        return PcxCodec::decode(bytes);
    return DecodedImage::failure(
        QStringLiteral("not a picture in a supported format (BMP, PCX, JPEG, PNG, GIF, TIFF)"));
}

std::optional<QByteArray> ImageFile::encode(const QImage& image, FileFormat format, const EncodeOptions& options,
                                            QString* error)
{
    if (image.isNull()) {
        setError(error, QStringLiteral("there is no picture to encode"));
        return std::nullopt;
    }
    switch (format) {
    case FileFormat::Bmp:
        return BmpCodec::encode(image, error);
    case FileFormat::Jpeg:
        return JpegCodec::encode(image, options, error);
    case FileFormat::Gif:
        return GifCodec::encode(image, options.comment, error);
    case FileFormat::Png:
        return PngCodec::encode(image, options.comment, error);
    }
    setError(error, QStringLiteral("unknown file format code %1").arg(static_cast<int>(format)));
    return std::nullopt;
}

bool ImageFile::save(const QImage& image, const QString& path, FileFormat format, const EncodeOptions& options,
                     QString* error)
{
    if (image.isNull()) {
        setError(error, QStringLiteral("there is no picture to encode"));
        return false;
    }
    // Other formats are encoded before the disk is touched; bitmaps, the large ones, are streamed.
    std::optional<QByteArray> bytes;
    if (format != FileFormat::Bmp && !(bytes = encode(image, format, options, error)))
        return false;
    QString encodeError;
    const auto produce = [&](const ByteSink& sink) {
        return bytes ? sink(bytes->constData(), bytes->size()) : BmpCodec::write(image, sink, &encodeError);
    };
    if (const QString problem = replaceFile(path, produce); !problem.isEmpty()) {
        setError(error, encodeError.isEmpty() ? QStringLiteral("cannot write %1: %2").arg(path, problem) : encodeError);
        return false;
    }
    return true;
}

// Writes a temporary file beside the target and renames it over the target, so the target is
// either the old file or the complete new one. No fsync: the pictures are working files, a
// 70 MB bitmap would wait a second for the disk, and ext4 orders the data of a file that replaces
// another by rename before the rename itself.
QString ImageFile::replaceFile(const QString& path, const std::function<bool(const ByteSink&)>& produce)
{
    // Renaming over a device node or FIFO would replace it with a plain file.
    if (FileKind::isSpecial(path))
        return QStringLiteral("not a regular file");
    const QByteArray target = QFile::encodeName(path);
    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = target + ".tmp" + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666); // 0666 minus umask
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    int failure = 0;
    const ByteSink sink = [fd, &failure](const char* data, qint64 size) {
        while (size > 0) {
            const ssize_t n = ::write(fd, data, size_t(std::min<qint64>(size, 1 << 30)));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                failure = n < 0 ? errno : ENOSPC;
                return false;
            }
            data += n, size -= n;
        }
        return true;
    };
    const bool produced = produce(sink);
    if (::close(fd) != 0 && produced)
        failure = errno;
    if (produced && failure == 0 && std::rename(temporary.constData(), target.constData()) == 0)
        return {};
    const int code = failure ? failure : errno;
    ::unlink(temporary.constData());
    return produced || failure ? QString::fromLocal8Bit(std::strerror(code)) : QStringLiteral("encoding failed");
}
