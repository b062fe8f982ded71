#include "imaging/codecs/PictureFormats.h"

#include <QtCore/QFileInfo>

const QList<PictureFormat>& PictureFormats::readable()
{
    static const QList<PictureFormat> formats = {
        {QStringLiteral("BMP"), {QStringLiteral("bmp"), QStringLiteral("dib")}},
        {QStringLiteral("JPEG"),
         {QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("jpe"), QStringLiteral("jfif")}},
        {QStringLiteral("PNG"), {QStringLiteral("png")}},
        {QStringLiteral("GIF"), {QStringLiteral("gif")}},
        {QStringLiteral("TIFF"), {QStringLiteral("tif"), QStringLiteral("tiff")}},
        {QStringLiteral("PCX"), {QStringLiteral("pcx")}},
        {QStringLiteral("HEIF"), {QStringLiteral("heic"), QStringLiteral("heif"), QStringLiteral("hif")}},
        {QStringLiteral("AVIF"), {QStringLiteral("avif"), QStringLiteral("avifs")}},
        {QStringLiteral("WebP"), {QStringLiteral("webp")}},
        {QStringLiteral("JPEG XL"), {QStringLiteral("jxl")}},
    };
    return formats;
}

bool PictureFormats::hasReadableExtension(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return false;
    const QString extension = name.mid(dot + 1).toLower();
    for (const PictureFormat& format : readable())
        if (format.extensions.contains(extension))
            return true;
    return false;
}

QString PictureFormats::filterPatterns()
{
    QStringList patterns;
    for (const PictureFormat& format : readable())
        for (const QString& extension : format.extensions)
            patterns << QStringLiteral("*.") + extension;
    return patterns.join(QLatin1Char(';'));
}
