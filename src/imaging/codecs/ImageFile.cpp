#include "imaging/codecs/ImageFile.h"

#include "foundation/FileKind.h"
#include "foundation/FileReplacer.h"
#include "imaging/codecs/BmpCodec.h"
#include "imaging/codecs/GifCodec.h"
#include "imaging/codecs/HeifCodec.h"
#include "imaging/codecs/ImageLimits.h"
#include "imaging/codecs/JpegCodec.h"
#include "imaging/codecs/JxlCodec.h"
#include "imaging/codecs/PcxCodec.h"
#include "imaging/codecs/PngCodec.h"
#include "imaging/codecs/TiffCodec.h"
#include "imaging/codecs/WebpCodec.h"

#include <QtCore/QFile>

#include <cstdio>

namespace {

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

// The decoders' limits, tightened for this thread while it lives.
ImageLimits::Scope limitsOf(const DecodeBounds& bounds)
{
    return ImageLimits::Scope(bounds.maxSide > 0 ? bounds.maxSide : ImageLimits::maxSide,
                              bounds.maxPixels > 0 ? bounds.maxPixels : ImageLimits::maxPixels);
}

DecodedImage marked(DecodedImage decoded)
{
    decoded.tooLarge = !decoded.ok() && ImageLimits::isSizeRefusal(decoded.error);
    return decoded;
}

} // namespace

DecodedImage ImageFile::load(const QString& path)
{
    return load(path, DecodeBounds{});
}

DecodedImage ImageFile::decode(const QByteArray& bytes)
{
    return decode(bytes, DecodeBounds{});
}

DecodedImage ImageFile::decode(const QByteArray& bytes, const DecodeBounds& bounds)
{
    const ImageLimits::Scope limits = limitsOf(bounds);
    return marked(decodeFitting(bytes, bounds.fitInto));
}

DecodedImage ImageFile::load(const QString& path, const DecodeBounds& bounds)
{
    const ImageLimits::Scope limits = limitsOf(bounds);
    QFile file(path);
    if (const QString problem = openForReading(file, path); !problem.isEmpty())
        return DecodedImage::failure(problem);
    if (std::optional<DecodedImage> plain = BmpCodec::readPlain(file))
        return marked(*plain);
    QByteArray bytes;
    if (const QString problem = readWhole(file, path, bytes); !problem.isEmpty())
        return DecodedImage::failure(problem);
    return marked(decodeFitting(bytes, bounds.fitInto));
}

std::optional<QByteArray> ImageFile::read(const QString& path, QString* error)
{
    QFile file(path);
    QByteArray bytes;
    QString problem = openForReading(file, path);
    if (problem.isEmpty())
        problem = readWhole(file, path, bytes);
    if (!problem.isEmpty()) {
        setError(error, problem);
        return std::nullopt;
    }
    return bytes;
}

QString ImageFile::openForReading(QFile& file, const QString& path)
{
    if (FileKind::isSpecial(path))
        return QStringLiteral("%1 is not a regular file").arg(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return QStringLiteral("cannot open %1: %2").arg(path, file.errorString());
    if (file.size() > ImageLimits::maxFileBytes)
        return QStringLiteral("%1 is larger than %2 bytes").arg(path).arg(ImageLimits::maxFileBytes);
    return {};
}

QString ImageFile::readWhole(QFile& file, const QString& path, QByteArray& bytes)
{
    if (!file.seek(0))
        return QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
    return {};
}

DecodedImage ImageFile::decodeFitting(const QByteArray& bytes, QSize fitInto)
{
    if (bytes.isEmpty())
        return DecodedImage::failure(QStringLiteral("the file is empty"));
    if (JpegCodec::matches(bytes))
        return JpegCodec::decode(bytes, fitInto);
    if (PngCodec::matches(bytes))
        return PngCodec::decode(bytes);
    if (GifCodec::matches(bytes))
        return GifCodec::decode(bytes);
    if (BmpCodec::matches(bytes))
        return BmpCodec::decode(bytes);
    if (TiffCodec::matches(bytes))
        return TiffCodec::decode(bytes);
    if (WebpCodec::matches(bytes))
        return WebpCodec::decode(bytes);
    if (HeifCodec::matches(bytes))
        return HeifCodec::decode(bytes);
    if (JxlCodec::matches(bytes))
        return JxlCodec::decode(bytes);
    if (PcxCodec::matches(bytes))
        return PcxCodec::decode(bytes);
    return DecodedImage::failure(QStringLiteral(
        "not a picture in a supported format (BMP, PCX, JPEG, PNG, GIF, TIFF, WebP, HEIF/HEIC/AVIF, JPEG XL)"));
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

QString ImageFile::replaceFile(const QString& path, const std::function<bool(const ByteSink&)>& produce)
{
    return FileReplacer::replace(path, produce);
}
