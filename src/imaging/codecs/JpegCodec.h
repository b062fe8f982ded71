// JPEG through libjpeg-turbo. Reading handles baseline, progressive, greyscale and CMYK/YCCK
// (including Adobe's inverted CMYK) and turns photos upright by their EXIF orientation. Writing
// produces baseline JPEG with optimised Huffman tables and the comment as a COM marker.
#pragma once

#include "imaging/codecs/CodecTypes.h"

#include <optional>

class RowFeed;

class JpegCodec
{
  public:
    static bool matches(const QByteArray& bytes);
    // With fitInto, a large picture decodes at the smallest of libjpeg's scales (1/2, 1/4, 1/8)
    // that is still no smaller than the picture fitted into that box.
    static DecodedImage decode(const QByteArray& bytes, QSize fitInto = {});
    // At the smallest of those scales whose upright picture still covers `cover` on both sides; the
    // whole picture when none does.
    // With a feed, the rows are published to it as they become final (not for a picture turned by
    // its orientation or converted by its colour profile, which are final only at the end); the
    // caller closes it.
    static DecodedImage decodeCovering(const QByteArray& bytes, QSize cover, RowFeed* feed = nullptr);

    // The size decodeCovering gives for a picture of `full` pixels (both upright).
    static QSize coveringSize(QSize full, QSize cover);

    struct Header
    {
        QSize upright; // the picture's size once turned by its EXIF orientation
        int bitCount = 0;
    };
    // The header, refused for the same reasons a decode refuses it (a declared size beyond the limits,
    // too little data for it), without taking any pixel memory.
    static std::optional<Header> readHeader(const QByteArray& bytes, QString* error = nullptr);
    static std::optional<QByteArray> encode(const QImage& image, const EncodeOptions& options, QString* error);

    // The orientation (1..8) stored in an APP1 "Exif" segment's payload; 1 when absent or unreadable.
    static int exifOrientation(const uchar* payload, qint64 size);
    // Turns a picture stored with the given EXIF orientation upright.
    static QImage upright(QImage image, int orientation);
};
