// The values the codecs and ImageFile share: what a decoder gives back, what an encoder is told, and
// where a streamed file goes. Kept apart so a codec needs nothing of ImageFile itself.
#pragma once

#include <QtCore/QByteArray>
#include <QtCore/QSize>
#include <QtCore/QString>
#include <QtGui/QImage>

#include <functional>

// Takes the next bytes of a file being written; false when they could not be stored.
using ByteSink = std::function<bool(const char* data, qint64 size)>;

// The numbers are the component's save codes.
enum class FileFormat { Bmp = 0, Jpeg = 2, Gif = 4, Png = 12 };

struct EncodeOptions
{
    int jpegQuality = 100; // 1..100
    int jpegSubsamp = 2;   // 0 = 4:4:4, 1 = 4:2:2, 2 = 4:2:0
    QString comment{};     // "{}" keeps designated initialisers free of -Wmissing-field-initializers
};

struct DecodedImage
{
    QImage image;          // Format_RGB888 for opaque pictures, Format_ARGB32 when the picture has alpha
    int bitCount = 0;      // the file's own bits per pixel; 32 whenever the picture has alpha
    QString error;         // why image is null
    bool tooLarge = false; // refused for the size its header declares, before anything was decoded
    bool ok() const { return !image.isNull(); }

    static DecodedImage failure(const QString& reason) { return DecodedImage{QImage(), 0, reason}; }
};

// What a caller that shows a picture small needs of a decode: a size it refuses beyond (checked from
// the header, before any pixel is decoded), and the box the picture will be fitted into, so that a
// JPEG decodes at the smallest of its reduced scales that still fills the fitted size.
struct DecodeBounds
{
    qint64 maxSide = 0;   // 0: the decoders' own limits
    qint64 maxPixels = 0; // 0: the decoders' own limits
    QSize fitInto{};      // empty: full size
};
