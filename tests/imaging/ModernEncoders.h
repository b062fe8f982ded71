// Files of today's formats, written for the tests by the formats' own libraries (libheif with its
// HEVC and AV1 encoders, libwebp, libjxl), and pictures under a given ICC profile in the older
// formats too. `orientation` is the EXIF value (1..8) the file states.
#pragma once

#include <QtCore/QByteArray>
#include <QtGui/QImage>

enum class HeifKind { Heic, Avif };

class ModernEncoders
{
  public:
    // From an RGB888 picture.
    static QByteArray heif(const QImage& rgb, HeifKind kind, const QByteArray& icc = {}, int orientation = 1);
    static QByteArray webp(const QImage& rgb, bool lossless, const QByteArray& icc = {}, int orientation = 1);
    static QByteArray jxl(const QImage& rgb, bool lossless, const QByteArray& icc = {}, int orientation = 1);
    static QByteArray jpeg(const QImage& rgb, const QByteArray& icc);
    static QByteArray png(const QImage& rgb, const QByteArray& icc);
    static QByteArray tiff(const QImage& rgb, const QByteArray& icc);

    // sRGB with its red and green primaries exchanged: a pixel stored as pure red is green.
    static QByteArray swappedRedGreenProfile();
};
