// GIF through giflib. Reading takes the first frame on its logical screen, with transparency.
// Writing takes a palette image: up to 2^n colours give an n-bit colour table (16 colours -> 4 bits),
// and the comment goes into a comment extension.
#pragma once

#include "imaging/codecs/CodecTypes.h"

#include <optional>

class GifCodec
{
  public:
    static bool matches(const QByteArray& bytes);
    static DecodedImage decode(const QByteArray& bytes);
    static std::optional<QByteArray> encode(const QImage& image, const QString& comment, QString* error);
};
