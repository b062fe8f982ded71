// Windows/OS2 bitmap files, read and written with our own code. The reader accepts 1, 4, 8, 16, 24
// and 32 bits per pixel, RLE4/RLE8, bit-field masks, top-down rows and the OS/2 core header, and
// treats every header field as hostile. The writer produces 24-bit bottom-up files.
#pragma once

#include "imaging/codecs/CodecTypes.h"

#include <optional>

class QFile;

class BmpCodec
{
  public:
    static bool matches(const QByteArray& bytes);
    static DecodedImage decode(const QByteArray& bytes);
    static std::optional<QByteArray> encode(const QImage& image, QString* error);

    // Streams the file to `sink` a few rows at a time, without holding the whole file in memory.
    static bool write(const QImage& image, const ByteSink& sink, QString* error);
    // Reads a plain 24-bit bitmap from an open file straight into the picture's rows (the form our
    // own undo images take). Nothing when the file is another kind of bitmap or not a bitmap at all.
    static std::optional<DecodedImage> readPlain(QFile& file);

    // Reverses the byte order of each 3-byte pixel (BGR <-> RGB); src and dst may be the same.
    static void swapRedBlue(const uchar* src, uchar* dst, qint64 pixels);
};
