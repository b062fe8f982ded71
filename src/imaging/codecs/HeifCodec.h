// HEIF through libheif: HEIC (HEVC) as phones save their photos, and AVIF (AV1). The primary picture
// is read with its rotation, mirroring and crop applied, high bit depths brought down to 8 bits, and
// its colour profile (an ICC profile or the primaries it names) converted to sRGB. libheif and its
// decoders are loaded when the first such file is read.
#pragma once

#include "imaging/codecs/ImageFile.h"

class HeifCodec
{
  public:
    static bool matches(const QByteArray& bytes);
    static DecodedImage decode(const QByteArray& bytes);
};
