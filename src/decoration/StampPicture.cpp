#include "decoration/StampPicture.h"

#include "decoration/DrawingLayers.h"
#include "foundation/ErrorDetail.h"
#include "imaging/codecs/ImageFile.h"
#include "imaging/drawing/LayerKeyColor.h"

QStringList StampPicture::folderExtensions()
{
    return {QStringLiteral("bmp"),  QStringLiteral("jpg"),  QStringLiteral("tif"),  QStringLiteral("pcx"),
            QStringLiteral("fpx"),  QStringLiteral("png"),  QStringLiteral("wmf"),  QStringLiteral("emf"),
            QStringLiteral("dxf"),  QStringLiteral("gif"),  QStringLiteral("heic"), QStringLiteral("heif"),
            QStringLiteral("avif"), QStringLiteral("webp"), QStringLiteral("jxl")};
}

QString StampPicture::shownName(const QString& fileName)
{
    // Four-letter extensions (webp, heic, avif) take their dot with them.
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0 && fileName.size() - dot == 5)
        return fileName.left(dot);
    return fileName.left(std::max<qsizetype>(0, fileName.size() - 4));
}

StampPicture::Loaded StampPicture::read(const QString& path, QSize fitInto)
{
    const DecodedImage decoded = ImageFile::load(path, DecodeBounds{MaxSide, MaxPixels, fitInto});
    if (!decoded.ok())
        writeErrorDetail(path + QStringLiteral(": ") + decoded.error);
    return {keyedFromAlpha(decoded.image), decoded.tooLarge};
}

QImage StampPicture::keyedFromAlpha(const QImage& picture)
{
    if (picture.isNull() || !picture.hasAlphaChannel())
        return picture.isNull() ? QImage() : picture.convertToFormat(QImage::Format_RGB888);
    // Straight (not premultiplied) alpha, so an opaque pixel keeps exactly its colour.
    const QImage straight = picture.convertToFormat(QImage::Format_ARGB32);
    QImage keyed(straight.size(), QImage::Format_RGB888);
    const QRgb key = LayerKeyColor;
    for (int y = 0; y < straight.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(straight.constScanLine(y));
        uchar* out = keyed.scanLine(y);
        for (int x = 0; x < straight.width(); ++x, out += 3) {
            const QRgb pixel = qAlpha(in[x]) * 2 <= 255 ? key : in[x];
            out[0] = uchar(qRed(pixel));
            out[1] = uchar(qGreen(pixel));
            out[2] = uchar(qBlue(pixel));
        }
    }
    return keyed;
}
