// WebP through libwebp: lossy and lossless, with or without alpha; of an animation, the first
// frame. An embedded colour profile is converted to sRGB and an EXIF orientation turns the
// picture upright.
#pragma once

#include "imaging/codecs/ImageFile.h"

class WebpCodec
{
  public:
    static bool matches(const QByteArray& bytes);
    static DecodedImage decode(const QByteArray& bytes);
};
