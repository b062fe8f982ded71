// Windows/OS2 bitmap files, read and written with our own code. The reader accepts 1, 4, 8, 16, 24
// and 32 bits per pixel, RLE4/RLE8, bit-field masks, top-down rows and the OS/2 core header, and
// treats every header field as hostile. The writer produces 24-bit bottom-up files.
#pragma once

#include "imaging/ImageFile.h"

class BmpCodec
{
public:
    static bool matches(const QByteArray& bytes);
    static DecodedImage decode(const QByteArray& bytes);
    static std::optional<QByteArray> encode(const QImage& image, QString* error);

    // Reverses the byte order of each 3-byte pixel (BGR <-> RGB); src and dst may be the same.
    static void swapRedBlue(const uchar* src, uchar* dst, qint64 pixels);
};
