// Reading and writing picture files. The format of a file being read is found from its content, not
// its name; writing takes the component's save codes. Encoders work in memory so that callers can
// measure a result before (or instead of) writing it.
#pragma once

#include <QtCore/QByteArray>
#include <QtCore/QString>
#include <QtGui/QImage>

#include <functional>
#include <optional>

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

class ImageFile
{
  public:
    static DecodedImage load(const QString& path);
    static DecodedImage decode(const QByteArray& bytes);
    static DecodedImage load(const QString& path, const DecodeBounds& bounds);
    static DecodedImage decode(const QByteArray& bytes, const DecodeBounds& bounds);

    // BMP: 24-bit. JPEG: baseline with optimised Huffman tables, comment as a COM marker.
    // GIF: from an Indexed8 image (a palette of at most 16 entries gives a 4-bit GIF), comment
    // extension. PNG: Indexed8 with at most 16 colours -> 4-bit indexed, other Indexed8 -> 8-bit
    // indexed, anything else -> 24-bit RGB; comment as tEXt "Comment".
    static std::optional<QByteArray> encode(const QImage& image, FileFormat format, const EncodeOptions& options,
                                            QString* error = nullptr);

    // Writes the whole file or leaves the old one untouched (temporary file, then rename).
    static bool save(const QImage& image, const QString& path, FileFormat format, const EncodeOptions& options,
                     QString* error = nullptr);

  private:
    static DecodedImage decodeFitting(const QByteArray& bytes, QSize fitInto);
    // Empty on success, otherwise why the file could not be written; the old file then stays.
    static QString replaceFile(const QString& path, const std::function<bool(const ByteSink&)>& produce);
};
