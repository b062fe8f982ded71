// PNG through libpng. Reading accepts every bit depth and colour type, palettes, tRNS and 16-bit
// samples. Writing gives 4-bit indexed (palettes of up to 16 colours, at true bit depth), 8-bit
// indexed or 24-bit RGB, with the comment as a tEXt "Comment" chunk.
#pragma once

#include "imaging/codecs/CodecTypes.h"

#include <optional>

class PngCodec
{
  public:
    static bool matches(const QByteArray& bytes);
    static DecodedImage decode(const QByteArray& bytes);
    static std::optional<QByteArray> encode(const QImage& image, const QString& comment, QString* error);
};
