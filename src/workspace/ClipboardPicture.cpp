#include "workspace/ClipboardPicture.h"

#include "foundation/ErrorDetail.h"
#include "imaging/codecs/ImageFile.h"

#include <QtCore/QMimeData>

QImage ClipboardPicture::read(const QMimeData* data)
{
    if (!data)
        return {};
    // The formats that carry more than Qt's reading of them keeps: phones' formats and colour profiles.
    for (const char* type : {"image/heic", "image/heif", "image/avif", "image/webp", "image/jxl", "image/png",
                             "image/jpeg", "image/tiff"}) {
        const QString mime = QLatin1String(type);
        if (!data->hasFormat(mime))
            continue;
        const DecodedImage decoded = ImageFile::decode(data->data(mime));
        if (decoded.ok())
            return decoded.image;
        writeErrorDetail(QStringLiteral("clipboard %1: %2").arg(mime, decoded.error));
    }
    return data->hasImage() ? qvariant_cast<QImage>(data->imageData()) : QImage();
}
