// JPEG XL through libjxl, loaded when the first such file is read. The picture (of an animation,
// the first frame) is read upright as its header orients it, with its colour profile converted to
// sRGB. The decoder's memory is capped in proportion to the declared picture, so a small file
// cannot make it take gigabytes.
#pragma once

#include "imaging/codecs/ImageFile.h"

class JxlCodec
{
  public:
    static bool matches(const QByteArray& bytes);
    static DecodedImage decode(const QByteArray& bytes);
};
