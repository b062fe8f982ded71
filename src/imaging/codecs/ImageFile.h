// Reading and writing picture files. The format of a file being read is found from its content, not
// its name; writing takes the component's save codes. Encoders work in memory so that callers can
// measure a result before (or instead of) writing it.
#pragma once

#include "imaging/codecs/CodecTypes.h"

#include <functional>
#include <optional>

class QFile;

class ImageFile
{
  public:
    static DecodedImage load(const QString& path);
    static DecodedImage decode(const QByteArray& bytes);
    static DecodedImage load(const QString& path, const DecodeBounds& bounds);
    static DecodedImage decode(const QByteArray& bytes, const DecodeBounds& bounds);
    // The file's bytes, refused as load refuses them (not a regular file, larger than the decoders take).
    static std::optional<QByteArray> read(const QString& path, QString* error = nullptr);

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
    // Empty when the file is open, otherwise why it cannot be read.
    static QString openForReading(QFile& file, const QString& path);
    static QString readWhole(QFile& file, const QString& path, QByteArray& bytes);
    static DecodedImage decodeFitting(const QByteArray& bytes, QSize fitInto);
    // Empty on success, otherwise why the file could not be written; the old file then stays.
    static QString replaceFile(const QString& path, const std::function<bool(const ByteSink&)>& produce);
};
