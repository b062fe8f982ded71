// The run-length encodings of bitmap files (RLE8 and RLE4). Runs and deltas that leave the row or
// the picture are clipped; pixels the data never reaches stay black.
#pragma once

#include <QtCore/QString>
#include <QtGui/QImage>

class BmpRleCodec
{
  public:
    // Decodes into an RGB888 image whose size comes from the header; returns an error text or "".
    static QString decode(const uchar* data, qint64 size, int bpp, const QRgb* palette, QImage& image);
};
