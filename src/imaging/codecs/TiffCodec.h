// TIFF through libtiff's RGBA interface, read from memory. Only the first page is read; libtiff's
// messages are collected per file instead of going to stderr.
#pragma once

#include "imaging/codecs/CodecTypes.h"

class TiffCodec
{
  public:
    static bool matches(const QByteArray& bytes);
    static DecodedImage decode(const QByteArray& bytes);
};
